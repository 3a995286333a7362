#include <cstdlib>

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // The controls are never shown on a screen; this also lets test discovery run headless.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    unsetenv("QT_QPA_PLATFORMTHEME");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
