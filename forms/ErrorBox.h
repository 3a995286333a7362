// The modal error box, behind an interface so that tests can stand in for the user.
#pragma once

#include <string>

namespace forms {

class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    // Shows text (lines joined by CR LF) with the title and the critical icon and one OK
    // button; returns when the user dismisses it.
    virtual void show(const std::string& text, const std::string& title) = 0;
};

class QtErrorBox final : public ErrorBox {
public:
    void show(const std::string& text, const std::string& title) override;
};

} // namespace forms
