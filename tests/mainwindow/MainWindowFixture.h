// The main window on a fake module library, a recording error box and virtual time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/WindowAccess.h"
#include "FakeModuleLibrary.h"
#include "forms/Timer.h"
#include "mainwindow/frmMain.h"

namespace mainwindowtest {

inline mainwindow::MainControls& controls(mainwindow::frmMain& w) { return mainwindow::frmMainTestAccess::controls(w); }
inline const mainwindow::DragState& drag(const mainwindow::frmMain& w) {
    return mainwindow::frmMainTestAccess::drag(w);
}

class SilentErrorBox final : public forms::ErrorBox {
public:
    std::vector<std::string> shown;
    std::function<void()> whileOpen; // what the user does while the box is up
    void show(const std::string& text, const std::string&) override {
        shown.push_back(text);
        if (whileOpen) whileOpen();
    }
};

struct MainWindowFixture : ::testing::Test {
    playertest::Log log;
    playertest::FakeModuleLibrary library{log};
    SilentErrorBox box;
    forms::VirtualClock clock;
    std::vector<std::string> fatal;
    std::unique_ptr<mainwindow::frmMain> window;

    void SetUp() override {
        player::Environment env;
        env.library = &library;
        env.errorBox = &box;
        env.clock = &clock;
        env.programDir = "/nowhere";
        env.setCurrentDirectory = [](const std::string&) {};
        window = std::make_unique<mainwindow::frmMain>(env, [this](const std::string& why) { fatal.push_back(why); });
    }
    void TearDown() override { window.reset(); }

    void startUp() {
        ASSERT_TRUE(window->Form_Load());
        window->form().move(100, 80);
        window->Show();
    }
};

} // namespace mainwindowtest
