// Lets tests and measurements reach the main window's controls by their names, and its drag.
#pragma once

#include "mainwindow/frmMain.h"

namespace mainwindow {
struct frmMainTestAccess {
    static MainControls& controls(frmMain& w) { return w; }
    static const DragState& drag(const frmMain& w) { return w.drag_; }
};
} // namespace mainwindow
