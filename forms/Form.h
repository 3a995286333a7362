// A borderless top-level window built from the controls, and the event pump.
#pragma once

#include <string>

#include "forms/Container.h"

namespace forms {

// A borderless top-level window whose client area is the whole window; its Left and Top are
// twips of the screen.
class Form : public Container {
    Q_OBJECT
public:
    Form(const std::string& name, float widthTwips, float heightTwips);

    float Left() const;
    float Top() const;
    void Move(float left, float top);
    void setCaption(const std::string& caption);
    // Where a program cannot place its own window (Wayland), the compositor's move takes over
    // the drag; returns false when it is not available. Once the compositor has it, the press
    // that started it ends here as its release would (the compositor keeps the release), so
    // the next hover and press go where the pointer is.
    bool startSystemMove();
    static bool canPlaceWindows();

protected:
    float designWidthTwips() const override { return widthTwips_; }
    float designHeightTwips() const override { return heightTwips_; }

private:
    float widthTwips_, heightTwips_;
};

// Handles pending window events before returning.
void DoEvents();

} // namespace forms
