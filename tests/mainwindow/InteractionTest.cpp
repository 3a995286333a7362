#include <algorithm>
#include <map>
#include <random>

#include <QAbstractButton>
#include <QAccessible>
#include <QMessageBox>
#include <QTimer>

#include "../support/EffectsAccess.h"
#include "../support/MouseDriver.h"
#include "MainWindowFixture.h"
#include "player/TrackList.h"

namespace mainwindowtest {
namespace {

using Interaction = MainWindowFixture;

bool lit(const mainwindow::ButtonPair& b) { return b.lit->Visible() && !b.resting->Visible(); }
bool resting(const mainwindow::ButtonPair& b) { return !b.lit->Visible() && b.resting->Visible(); }

// Start-up begins the message fade and the title pulse from their first step.
TEST_F(Interaction, StartUpRestartsThePulseAndTheFade) {
    auto& st = effects::EffectsTestAccess::state(window->effects());
    st.tickerStep = 7;
    st.titleStep = 9;
    startUp();
    EXPECT_EQ(window->effects().state().tickerStep, 0);
    EXPECT_EQ(window->effects().state().titleStep, 0);
}

TEST_F(Interaction, PressesGoToTheControlUnderThePointer) {
    auto& f = window->form();
    // A title takes the pointer across its whole width, not only over its text.
    EXPECT_EQ(f.receiverAt({257, 243}), "Intro");
    EXPECT_EQ(f.receiverAt({432, 243}), "Intro");
    EXPECT_EQ(f.receiverAt({432, 371}), "Tune16");
    // The tune-list shadow covers the list beside, above and below the titles.
    EXPECT_EQ(f.receiverAt({445, 300}), "TuneShadows");
    EXPECT_EQ(f.receiverAt({300, 235}), "TuneShadows");
    EXPECT_EQ(f.receiverAt({300, 390}), "TuneShadows");
    // Bare skin shows between two buttons; the read-out block is labels.
    EXPECT_EQ(f.receiverAt({285, 460}), "MainSkin");
    EXPECT_EQ(f.receiverAt({20, 445}), "Label1");
    EXPECT_EQ(f.receiverAt({100, 442}), "lblTrackNro");
    EXPECT_EQ(f.receiverAt({100, 467}), "lblCPU");
    EXPECT_EQ(f.receiverAt({200, 10}), "Picture2");
    EXPECT_EQ(f.receiverAt({300, 488}), "lbl2");
}

TEST_F(Interaction, StartUpLightsFourButtonsAndTheSkinPutsAllToRest) {
    startUp();
    auto& w = *window;
    EXPECT_TRUE(controls(w).prev.lit->Visible() && controls(w).play.lit->Visible() && controls(w).next.lit->Visible() &&
                controls(w).stop.lit->Visible());
    EXPECT_TRUE(resting(controls(w).info));
    EXPECT_TRUE(resting(controls(w).exit));

    testsupport::MouseDriver mouse(w.form());
    mouse.move(mouse.at(300, 300)); // the tune list is labels: nothing changes
    EXPECT_TRUE(controls(w).prev.lit->Visible());
    mouse.move(mouse.at(285, 460)); // bare skin between Prev and Play
    for (auto* b : {&controls(w).prev, &controls(w).play, &controls(w).next, &controls(w).stop, &controls(w).info,
             &controls(w).exit})
        EXPECT_TRUE(resting(*b));

    mouse.move(mouse.at(430, 460)); // over the resting Info image
    EXPECT_TRUE(lit(controls(w).info));
    for (auto* b : {&controls(w).prev, &controls(w).play, &controls(w).next, &controls(w).stop, &controls(w).exit})
        EXPECT_TRUE(resting(*b));
    mouse.move(mouse.at(475, 460)); // straight onto Exit without touching the skin
    EXPECT_TRUE(lit(controls(w).info));
    EXPECT_TRUE(lit(controls(w).exit));
}

TEST_F(Interaction, OnlyLitImagesTakeClicks) {
    startUp();
    auto& w = *window;
    testsupport::MouseDriver mouse(w.form());
    mouse.move(mouse.at(285, 460));
    log.clear();
    mouse.click(mouse.at(340, 460)); // resting Next: nothing
    EXPECT_EQ(w.player().state().trackIndex, 0);
    EXPECT_TRUE(log.empty());

    mouse.move(mouse.at(340, 460));
    ASSERT_TRUE(lit(controls(w).next));
    const QPoint before = w.form().pos();
    mouse.click(mouse.at(340, 460));
    EXPECT_EQ(w.player().state().trackIndex, 1);
    EXPECT_EQ(controls(w).lblTrackNro->Caption(), "1");
    EXPECT_EQ(drag(w).dragging, 0);
    EXPECT_EQ(w.form().pos(), before);

    mouse.click(mouse.at(300, 259)); // the title of track 2
    EXPECT_EQ(w.player().state().trackIndex, 2);
    EXPECT_TRUE(controls(w).markers[2]->Visible());
}

TEST_F(Interaction, DraggingTheSkinKeepsThePressedPointUnderThePointer) {
    startUp();
    auto& w = *window;
    testsupport::MouseDriver mouse(w.form());
    const QPoint start = w.form().pos();
    const QPoint grip = mouse.at(30, 100);
    mouse.press(grip, Qt::RightButton);
    EXPECT_EQ(w.form().pos(), start); // a press alone moves nothing

    const QPoint p1 = grip + QPoint(37, 21);
    mouse.move(p1);
    EXPECT_EQ(w.form().pos(), start + QPoint(37, 21));
    EXPECT_EQ(w.form().mapFromGlobal(p1), QPoint(30, 100));

    const QPoint p2 = grip + QPoint(-400, 700); // far outside the window
    mouse.move(p2);
    EXPECT_EQ(w.form().mapFromGlobal(p2), QPoint(30, 100));
    mouse.release(p2, Qt::RightButton);
    const QPoint end = w.form().pos();
    mouse.move(p2 + QPoint(5, 5));
    EXPECT_EQ(w.form().pos(), end);
    EXPECT_EQ(drag(w).dragging, 0);
}

// On X11 a motion event can still be placed relative to where the window was before the last
// move; the drag must follow the pointer, not add the last step twice.
TEST_F(Interaction, DragFollowsThePointerWhenEventsLagBehindTheWindow) {
    startUp();
    auto& w = *window;
    testsupport::MouseDriver mouse(w.form());
    const QPoint start = w.form().pos();
    const QPoint grip = mouse.at(30, 100);
    mouse.press(grip);
    mouse.move(grip + QPoint(30, 20));
    ASSERT_EQ(w.form().pos(), start + QPoint(30, 20));
    // The next event's local position is still relative to the old window position.
    const QPoint pointer = grip + QPoint(100, 60);
    QMouseEvent stale(QEvent::MouseMove, QPointF(pointer - start), QPointF(pointer), Qt::NoButton, Qt::LeftButton,
        Qt::NoModifier);
    QApplication::sendEvent(controls(w).MainSkin, &stale);
    EXPECT_EQ(w.form().pos(), start + QPoint(100, 60));
    mouse.release(pointer);
}

// The playback timer reaches a missing tune while the skin is held; the user lets go while
// the boxes are up, so the release never reaches the window.
TEST_F(Interaction, ReleaseTakenByAnErrorBoxEndsTheDrag) {
    library.missingFiles.insert("/nowhere/mods/MWDRIFT.IT");
    startUp();
    auto& w = *window;
    testsupport::MouseDriver mouse(w.form());
    const QPoint grip = mouse.at(30, 100);
    mouse.press(grip);
    mouse.move(grip + QPoint(10, 10));
    ASSERT_EQ(drag(w).dragging, player::kTrue);
    box.whileOpen = [&] { mouse.releaseUnseen(); };
    clock.advance(192'000);
    ASSERT_EQ(box.shown.size(), 2u);
    box.whileOpen = nullptr;

    const QPoint end = w.form().pos();
    mouse.move(grip + QPoint(60, 40));
    EXPECT_EQ(w.form().pos(), end) << "the window follows a pointer with no button held";
    EXPECT_EQ(drag(w).dragging, 0);
    mouse.click(mouse.at(300, 259)); // and a title takes a click again
    EXPECT_EQ(w.player().state().trackIndex, 2);
}

TEST_F(Interaction, PressOnALabelStartsNoDrag) {
    startUp();
    auto& w = *window;
    testsupport::MouseDriver mouse(w.form());
    const QPoint start = w.form().pos();
    const QPoint onTitle = mouse.at(300, 243);
    mouse.press(onTitle);
    mouse.move(onTitle + QPoint(40, 40));
    mouse.release(onTitle + QPoint(40, 40));
    EXPECT_EQ(w.form().pos(), start);
    EXPECT_EQ(drag(w).dragging, 0);
}

TEST_F(Interaction, ExitFreesTheModuleAndClosesTheWindow) {
    startUp();
    auto& w = *window;
    testsupport::MouseDriver mouse(w.form());
    mouse.move(mouse.at(285, 460));
    mouse.move(mouse.at(480, 460));
    ASSERT_TRUE(lit(controls(w).exit));
    log.clear();
    mouse.click(mouse.at(480, 460));
    EXPECT_NE(std::find(log.begin(), log.end(), "MusicFree"), log.end());
    EXPECT_FALSE(w.form().isVisible());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(Interaction, ExitClosesTheNfoWindowToo) {
    startUp();
    auto& w = *window;
    w.btnInfo_Click();
    ASSERT_NE(w.nfoWindow(), nullptr);
    ASSERT_TRUE(w.nfoWindow()->isLoaded());
    w.btnExit_Click();
    EXPECT_FALSE(w.form().isVisible());
    EXPECT_FALSE(w.nfoWindow()->isLoaded());
}

// What a screen reader finds on the window by name: what it shows, or all it can walk to.
std::multimap<std::string, QAccessibleInterface*> shownByName(QAccessibleInterface* node, bool hiddenToo = false) {
    std::multimap<std::string, QAccessibleInterface*> found;
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child || (child->state().invisible && !hiddenToo)) continue;
        found.emplace(child->text(QAccessible::Name).toStdString(), child);
        found.merge(shownByName(child, hiddenToo));
    }
    return found;
}

QAccessibleInterface* readerPress(QAccessibleInterface* root, const std::string& name) {
    const auto all = shownByName(root);
    const auto it = all.find(name);
    if (it == all.end()) return nullptr;
    it->second->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    return it->second;
}

TEST_F(Interaction, AScreenReaderNamesPressesAndReadsTheSkin) {
    startUp();
    auto& w = *window;
    auto shown = [&] { return shownByName(QAccessible::queryAccessibleInterface(&w.form())); };
    auto press = [&](const std::string& name) {
        auto all = shown();
        ASSERT_EQ(all.count(name), 1u) << name;
        QAccessibleInterface* item = all.find(name)->second;
        EXPECT_EQ(item->role(), QAccessible::Button) << name;
        ASSERT_NE(item->actionInterface(), nullptr) << name;
        EXPECT_TRUE(item->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction())) << name;
        item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };
    auto expectShown = [&](std::initializer_list<const char*> names) {
        const auto all = shown();
        for (const char* name : names) EXPECT_EQ(all.count(name), 1u) << name;
    };

    // A button is one element, whichever of its two pictures shows; the tune whose marker
    // shows is the chosen one.
    const auto everything = shownByName(QAccessible::queryAccessibleInterface(&w.form()), true);
    for (const char* button : {"Prev", "Play", "Next", "Stop", "Info", "Exit"})
        EXPECT_EQ(everything.count(button), 1u) << button;
    auto chosen = [&] {
        std::vector<std::string> names;
        for (const auto& [name, item] : shown())
            if (item->state().checked) names.push_back(name);
        return names;
    };
    EXPECT_EQ(chosen(), std::vector<std::string>{"Harbour of Glass"});
    expectShown({"Track Number 0", "Track Time 191", "Time Elapsed 0"});
    for (const char* button : {"Prev", "Play", "Next", "Stop"}) press(button);
    expectShown({"Track Number ..."});
    for (const auto& title : player::kTuneTitles) press(std::string(title));
    EXPECT_EQ(w.player().state().trackIndex, 16);
    press("Prev");
    expectShown({"Track Number 15", "Time Elapsed 0"});
    EXPECT_EQ(chosen(), std::vector<std::string>{"Papa Was A Lamp Lighter"});
    press("Stop");
    expectShown({"Track Number ...", "Track Time ...", "Time Elapsed ..."});
    EXPECT_EQ(w.player().state().isPlaying, player::kFalse);
    testsupport::MouseDriver mouse(w.form());
    mouse.move(mouse.at(285, 460)); // bare skin: the resting images come to the front
    press("Play");
    EXPECT_EQ(w.player().state().isPlaying, player::kTrue);
    press("Info");
    ASSERT_NE(w.nfoWindow(), nullptr);
    EXPECT_TRUE(w.nfoWindow()->isLoaded());
    press("Exit");
    EXPECT_FALSE(w.form().isVisible());
}

// A press by a screen reader while an error box is up goes nowhere, as a click or a key does:
// it would otherwise run inside the failing load.
TEST_F(Interaction, AScreenReaderPressWhileAnErrorBoxIsUpIsRefused) {
    library.missingFiles.insert("/nowhere/mods/MWDRIFT.IT");
    startUp();
    auto& w = *window;
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&w.form());
    int tried = 0;
    box.whileOpen = [&] {
        QMessageBox real(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("box"), QMessageBox::Ok);
        QTimer::singleShot(0, &real, [&] {
            const std::size_t boxes = box.shown.size();
            for (const char* name : {"Next", "Stop", "Exit", "Quiet Engines"})
                if (readerPress(root, name)) ++tried;
            EXPECT_EQ(box.shown.size(), boxes) << "a press ran inside the box";
            real.button(QMessageBox::Ok)->click();
        });
        real.exec();
    };
    ASSERT_NE(readerPress(root, "Next"), nullptr);
    box.whileOpen = nullptr;
    EXPECT_EQ(tried, 8) << "four presses under each of the two boxes";
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].rfind("Can't play music", 0), 0u);
    EXPECT_EQ(w.player().state().trackIndex, 1);
    EXPECT_EQ(w.player().state().isPlaying, player::kTrue);
    EXPECT_TRUE(w.form().isVisible());
    readerPress(root, "Next"); // and with the boxes gone, presses work again
    EXPECT_EQ(w.player().state().trackIndex, 2);
}

// Two days of random use on the virtual clock: every button and title, Stop and Play, Info and
// Close, drags (some whose release a box takes) and tunes that fail to load.
TEST_F(Interaction, TwoDaysOfRandomUseKeepEveryCounterInRange) {
    for (std::size_t k = 2; k < player::kTrackCount; k += 5)
        library.missingFiles.insert("/nowhere/mods/" + std::string(player::kTrackList[k].file));
    library.onCall = [this](const std::string& call) {
        if (call.rfind("MusicLoad(", 0) == 0) {
            EXPECT_FALSE(library.loaded) << "a second module loaded beside the first";
        }
    };
    startUp();
    auto& w = *window;
    // The scroller's 30 ms clock touches none of the state checked here; its 5.8 million
    // ticks would make this take minutes.
    controls(w).Timer1->setEnabled(false);
    testsupport::MouseDriver mouse(w.form());
    bool held = false;
    box.whileOpen = [&] {
        if (held) mouse.releaseUnseen(); // let go while the box is up
        held = false;
    };

    const auto& st = w.player().state();
    const auto& fx = w.effects().state();
    const auto check = [&](int step) {
        ASSERT_GE(st.trackIndex, 0) << step;
        ASSERT_LE(st.trackIndex, player::kLastTrack) << step;
        ASSERT_EQ(std::count_if(controls(w).markers.begin(), controls(w).markers.end(),
                      [](const forms::Label* m) { return m->Visible(); }),
            1)
            << step;
        ASSERT_GE(fx.titleStep, 0) << step;
        ASSERT_LE(fx.titleStep, 10) << step;
        ASSERT_GE(fx.tickerStep, 0) << step;
        ASSERT_LE(fx.tickerStep, 10) << step;
        ASSERT_GE(fx.messageIndex, 0) << step;
        ASSERT_LE(fx.messageIndex, 34) << step;
        if (!held) {
            ASSERT_EQ(drag(w).dragging, player::kFalse) << step;
        }
    };

    std::mt19937 rng(20261208);
    const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    constexpr std::int64_t kTwoDaysMs = 48LL * 3600 * 1000;
    int step = 0;
    for (; clock.now() < kTwoDaysMs; ++step) {
        switch (pick(9)) {
        case 0: controls(w).prev.lit->onClick(); break;
        case 1: controls(w).play.lit->onClick(); break;
        case 2: controls(w).next.lit->onClick(); break;
        case 3: controls(w).stop.lit->onClick(); break;
        case 4: controls(w).info.lit->onClick(); break;
        case 5:
            if (w.nfoWindow() && w.nfoWindow()->isLoaded()) w.nfoWindow()->lblClose_Click();
            break;
        case 6: controls(w).tunes[static_cast<std::size_t>(pick(17))]->onClick(); break;
        default: { // a drag by the skin, with time passing while the button is held
            const QPoint grip = mouse.at(30, 100);
            mouse.press(grip);
            held = true;
            mouse.move(grip + QPoint(pick(41) - 20, pick(41) - 20));
            clock.advance(pick(300'000));
            mouse.move(grip + QPoint(pick(41) - 20, pick(41) - 20));
            if (held) mouse.release(grip);
            held = false;
            mouse.move(mouse.at(30, 100));
            break;
        }
        }
        check(step);
        clock.advance(1 + pick(300'000));
        check(step);
    }
    RecordProperty("steps", step);
    controls(w).exit.lit->onClick();
    EXPECT_FALSE(library.loaded);
    EXPECT_TRUE(fatal.empty());
}

} // namespace
} // namespace mainwindowtest
