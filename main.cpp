// The music disk: creates the main window, runs its start-up and the event loop.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include <QApplication>
#include <QIcon>

#include "desktop/Activation.h"
#include "desktop/MediaPlayer2.h"
#include "forms/BenchTrace.h"
#include "forms/ErrorBox.h"
#include "forms/Timer.h"
#include "mainwindow/frmMain.h"
#include "player/DynamicModuleLibrary.h"
#include "player/Launch.h"
#include "player/RunHooks.h"
#include "player/SoundStream.h"

int main(int argc, char** argv) {
    if (!player::choosePlatform(argc, argv)) return 1;
    // Each frame changes a few small areas. Sent through the X connection they need no shared
    // memory segment, whose reuse costs a round trip to the server after every frame.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // Before the window system starts: it may take them out of the environment.
    const QVariantMap launch = desktop::launchPlatformData();
    player::PlatformStartGuard platformGuard;
    QApplication app(argc, argv);
    platformGuard.started();
    forms::benchtrace::mark("app");
    QApplication::setOrganizationName(QStringLiteral("Drelkin"));
    QApplication::setApplicationName(QStringLiteral("Drelkin - Velsmoor, Part I [Orvantis]"));
    QApplication::setApplicationVersion(QStringLiteral("1.00.0001"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.drelkin.Velsmoor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icon.ico")));

    player::ReportingErrorBox errorBox(player::environmentInt("VELSMOOR_AUTO_DISMISS_MS", -1));
    std::string programDir;
    try {
        programDir = player::programFolder();
    } catch (const std::runtime_error& e) {
        errorBox.show(e.what(), "Error");
        return 1;
    }
    player::DynamicModuleLibrary library(programDir);
    std::unique_ptr<forms::TimerClock> clock;
    if (player::environmentInt("VELSMOOR_NO_TIMERS", 0)) clock = std::make_unique<player::StoppedClock>();
    else clock = std::make_unique<forms::QtTimerClock>();

    player::Environment env;
    env.library = &library;
    env.errorBox = &errorBox;
    env.clock = clock.get();
    env.programDir = programDir;
    env.setCurrentDirectory = [](const std::string& dir) {
        // By its bytes: a folder name need not be valid in any text encoding.
        if (::chdir(dir.c_str()) != 0) std::perror(dir.c_str());
    };

    bool failed = false;
    auto fatal = [&](const std::string& why) {
        if (failed) return;
        failed = true;
        errorBox.show("The module library could not be used.\r\n\r\n" + why, "Error");
        QCoreApplication::exit(1);
    };

    mainwindow::frmMain window(env, fatal);
    forms::benchtrace::mark("built");
    // A disk already running in this session comes to the front instead; nothing plays twice.
    desktop::MediaPlayer2 mediaControls(window, programDir);
    if (mediaControls.start(launch) == desktop::MediaPlayer2::Start::AlreadyRunning) return 0;
    player::describeSoundStream();
    try {
        if (!window.Form_Load()) return 1;
    } catch (const player::LibraryError& e) {
        fatal(e.what());
        return 1;
    }
    if (failed) return 1;
    forms::benchtrace::mark("started");
    forms::benchtrace::watch(window.form());
    window.Show();
    const int status = app.exec();
    return failed ? 1 : status;
}
