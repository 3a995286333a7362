// Resident memory of the running program, sampled every 100 cycles over 1,000 Info cycles
// (open and close the NFO window) and then 1,000 tune clicks, to show whether anything grows
// without bound. Drives the real main window with the real module library and tunes, on the
// offscreen platform with silent audio; every error box is counted, not shown.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>

#include "../../tests/support/WindowAccess.h"
#include "forms/ErrorBox.h"
#include "forms/Timer.h"
#include "mainwindow/frmMain.h"
#include "player/DynamicModuleLibrary.h"
#include "player/Launch.h"

namespace {

class CountingErrorBox final : public forms::ErrorBox {
public:
    int shown = 0;
    void show(const std::string& text, const std::string&) override {
        ++shown;
        std::fprintf(stderr, "box: %s\n", text.c_str());
    }
};

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Lets timers, deferred deletes and the window system run as they would between two clicks.
void pump(int ms) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    } while (t.elapsed() < ms);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    QApplication app(argc, argv);

    const std::string dir = player::programFolder();
    player::DynamicModuleLibrary library(dir);
    CountingErrorBox box;
    forms::QtTimerClock clock;
    player::Environment env;
    env.library = &library;
    env.errorBox = &box;
    env.clock = &clock;
    env.programDir = dir;
    env.setCurrentDirectory = [](const std::string& d) {
        if (::chdir(d.c_str()) != 0) std::perror(d.c_str());
    };
    mainwindow::frmMain window(env, [](const std::string& why) {
        std::fprintf(stderr, "fatal: %s\n", why.c_str());
        std::exit(1);
    });
    if (!window.Form_Load()) return 1;
    window.Show();
    pump(500);

    std::printf("phase,cycle,rss_kib\n");
    std::printf("start,0,%ld\n", residentKiB());
    for (int i = 1; i <= cycles; ++i) {
        mainwindow::frmMainTestAccess::controls(window).info.lit->onClick();
        pump(2);
        window.nfoWindow()->lblClose_Click();
        pump(2);
        if (i % 100 == 0) std::printf("info,%d,%ld\n", i, residentKiB());
        std::fflush(stdout);
    }
    for (int i = 1; i <= cycles; ++i) {
        mainwindow::frmMainTestAccess::controls(window).tunes[static_cast<std::size_t>(i % 17)]->onClick();
        pump(5);
        if (i % 100 == 0) std::printf("tunes,%d,%ld\n", i, residentKiB());
        std::fflush(stdout);
    }
    std::printf("boxes,%d,%ld\n", box.shown, residentKiB());
    window.btnExit_Click();
    return box.shown == 0 ? 0 : 1;
}
