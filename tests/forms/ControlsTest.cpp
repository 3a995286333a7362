#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPointer>

#include "../support/MouseDriver.h"
#include "forms/BitmapFont.h"
#include "forms/Controls.h"
#include "forms/TextLayout.h"

namespace {

using Lines = std::vector<std::string>;

TEST(TextLayout, BreaksAtLineBreaksAndWrapsWords) {
    EXPECT_EQ(forms::layoutText("Track Number\r\nTrack Time", 13), (Lines{"Track Number", "Track Time"}));
    EXPECT_EQ(forms::layoutText("\rA\r\nB", 5), (Lines{"", "A", "B"}));
    EXPECT_EQ(forms::layoutText("-- ModList --\r\n\r\n", 29), (Lines{"-- ModList --", "", ""}));
    EXPECT_EQ(forms::layoutText("one two three", 7), (Lines{"one two", "three"}));
    // A line that exactly fills the label does not wrap; leading blanks stay.
    EXPECT_EQ(forms::layoutText("   abc", 6), (Lines{"   abc"}));
    EXPECT_EQ(forms::layoutText(std::string(88, 'x'), 88), (Lines{std::string(88, 'x')}));
    // A word wider than the label keeps a line of its own and is cut by the edge.
    EXPECT_EQ(forms::layoutText("ab verylongword c", 6), (Lines{"ab", "verylongword", "c"}));
    EXPECT_EQ(forms::layoutText("", 10), (Lines{""}));
}

struct Window : ::testing::Test {
    forms::Form form{"frm", 3000, 1500}; // 200 x 100 pixels
};

TEST_F(Window, GeometryIsKeptInTwipsAndReadBackInTheContainersScale) {
    forms::Picture& strip = form.addPicture("strip", 60, 0, 2700, 300);
    forms::Picture& inner = strip.addPicture("inner", 2685, 60, 7755, 240);
    inner.setScale(1.8201163f, 1.0f);
    forms::Label& title = inner.addLabel("title", 120, 30, 14115, 195);

    EXPECT_NEAR(title.Left(), 120.0 * 1.8201163 / 7755.0, 1e-6);
    EXPECT_EQ(title.pixelRect(), QRect(8, 2, 941, 13));
    EXPECT_FLOAT_EQ(inner.Left(), 2685.0f);
    EXPECT_EQ(inner.geometry(), QRect(179, 4, 517, 16));
    inner.setLeft(2685.0f - 20.0f);
    EXPECT_FLOAT_EQ(inner.Left(), 2665.0f); // exact twips, not whole pixels
    EXPECT_EQ(inner.geometry().x(), 178);
}

TEST_F(Window, StackingRunsFrontToBackInCreationOrderPicturesBeforeLabels) {
    form.addLabel("under", 0, 0, 3000, 1500);
    forms::Label& front = form.addLabel("front", 0, 0, 600, 600);
    form.addLabel("back", 0, 0, 600, 600);
    forms::Picture& first = form.addPicture("first", 1500, 0, 600, 600);
    form.addPicture("second", 1500, 0, 900, 900);
    (void)front;

    EXPECT_EQ(form.receiverAt({5, 5}), "under"); // "under" was created first of the labels
    EXPECT_EQ(form.receiverAt({105, 5}), "first");
    EXPECT_EQ(form.receiverAt({145, 5}), "second");
    first.setVisible(false);
    EXPECT_EQ(form.receiverAt({105, 5}), "second");
    EXPECT_EQ(form.receiverAt({150, 80}), "under");
}

TEST_F(Window, PointerGoesToTheLabelUnderItAndStaysWithThePressUntilRelease) {
    forms::Label& label = form.addLabel("label", 150, 150, 600, 300); // pixels 10,10 40x20
    std::vector<std::string> log;
    auto rec = [&log](std::string what) {
        return [&log, what](const forms::MouseEventArgs& e) {
            log.push_back(what + " " + std::to_string(e.Button) + " " + std::to_string(static_cast<int>(e.X)) + "," +
                          std::to_string(static_cast<int>(e.Y)));
        };
    };
    label.onMouseDown = rec("label-down");
    label.onMouseMove = rec("label-move");
    label.onMouseUp = rec("label-up");
    label.onClick = [&log] { log.push_back("label-click"); };
    form.onMouseMove = rec("form-move");
    form.onMouseDown = rec("form-down");
    form.move(300, 200);
    form.show();

    testsupport::MouseDriver mouse(form);
    mouse.move(mouse.at(12, 11));
    mouse.press(mouse.at(12, 11), Qt::RightButton);
    mouse.move(mouse.at(150, 90)); // outside the label: still the label's
    mouse.release(mouse.at(150, 90), Qt::RightButton);
    mouse.move(mouse.at(150, 90));
    EXPECT_EQ(log, (std::vector<std::string>{"label-move 0 30,15", "label-down 2 30,15", "label-move 2 2100,1200",
                       "label-up 2 2100,1200", "form-move 0 2250,1350"}));

    log.clear();
    mouse.click(mouse.at(20, 20));
    EXPECT_EQ(log, (std::vector<std::string>{"label-down 1 150,150", "label-up 1 150,150", "label-click"}));
}

// Records every pointer event of the form, a label and a picture, by who heard it.
struct Pointer : Window {
    std::vector<std::string> log;
    forms::Label& label = form.addLabel("label", 150, 150, 600, 300);      // pixels 10,10 40x20
    forms::Picture& picture = form.addPicture("pic", 1500, 750, 600, 300); // pixels 100,50 40x20
    testsupport::MouseDriver mouse{form};

    Pointer() {
        listen("label", label);
        listen("form", form);
        listen("pic", picture);
        form.move(300, 200);
        form.show();
    }
    void listen(const std::string& who, forms::PointerHandlers& h) {
        auto rec = [this, who](const char* what) {
            return [this, who, what](const forms::MouseEventArgs& e) {
                log.push_back(who + "-" + what + " " + std::to_string(e.Button));
            };
        };
        h.onMouseDown = rec("down");
        h.onMouseMove = rec("move");
        h.onMouseUp = rec("up");
        h.onClick = [this, who] { log.push_back(who + "-click"); };
    }
    std::vector<std::string> take() { return std::exchange(log, {}); }
};

using Heard = std::vector<std::string>;

TEST_F(Pointer, APressHeldOnTheFormKeepsTheMovesAndTheReleaseFromTheLabel) {
    mouse.press(mouse.at(150, 90));
    mouse.move(mouse.at(20, 20));
    mouse.release(mouse.at(20, 20));
    // The form's area takes in its windowless labels: released over one, it is the form's click.
    EXPECT_EQ(take(), (Heard{"form-down 1", "form-move 1", "form-up 1", "form-click"}));
    mouse.move(mouse.at(20, 20));
    EXPECT_EQ(take(), (Heard{"label-move 0"}));
}

TEST_F(Pointer, OnlyAReleaseOverThePressedControlWithNoButtonLeftIsAClick) {
    mouse.press(mouse.at(20, 20));
    mouse.release(mouse.at(150, 90));
    EXPECT_EQ(take(), (Heard{"label-down 1", "label-up 1"}));

    // The second button's release ends the press; the first one's is no click.
    mouse.press(mouse.at(20, 20));
    mouse.press(mouse.at(20, 20), Qt::RightButton);
    mouse.release(mouse.at(20, 20));
    mouse.release(mouse.at(20, 20), Qt::RightButton);
    EXPECT_EQ(take(), (Heard{"label-down 1", "label-down 2", "label-up 1", "label-up 2", "label-click"}));

    mouse.click(mouse.at(110, 60));
    EXPECT_EQ(take(), (Heard{"pic-down 1", "pic-up 1", "pic-click"}));
}

TEST_F(Pointer, APressWhoseReleaseWentElsewhereEndsAtTheNextEventWithoutAClick) {
    // A modal box takes the release: the label hears its end, as a release of no button, at the
    // next move, and the move after goes where the pointer is.
    mouse.press(mouse.at(20, 20));
    mouse.releaseUnseen();
    mouse.move(mouse.at(150, 90));
    mouse.move(mouse.at(150, 90));
    EXPECT_EQ(take(), (Heard{"label-down 1", "label-up 0", "form-move 0", "form-move 0"}));

    // A new press ends the lost one first and is then a press of its own.
    mouse.press(mouse.at(20, 20));
    mouse.releaseUnseen();
    mouse.press(mouse.at(150, 90), Qt::RightButton);
    mouse.release(mouse.at(150, 90), Qt::RightButton);
    EXPECT_EQ(take(), (Heard{"label-down 1", "label-up 0", "form-down 2", "form-up 2", "form-click"}));
}

TEST_F(Pointer, EndingAPressFromOutsideTellsTheReleaseButNoClick) {
    mouse.press(mouse.at(20, 20));
    EXPECT_TRUE(form.endPress());
    EXPECT_TRUE(form.endPress()); // nothing held any more
    mouse.release(mouse.at(20, 20));
    EXPECT_EQ(take(), (Heard{"label-down 1", "label-up 0", "label-up 1"}));

    // A window that a release handler unloads is not touched after it: the caller is told.
    for (const bool lost : {false, true}) {
        auto* doomed = new forms::Form("doomed", 1500, 1500);
        doomed->onMouseUp = [doomed](const forms::MouseEventArgs&) { delete doomed; };
        doomed->show();
        testsupport::MouseDriver other(*doomed);
        const QPoint inside = other.at(5, 5);
        other.press(inside);
        QPointer<forms::Form> alive(doomed);
        if (lost) {
            other.releaseUnseen();
            other.move(inside);
        } else {
            EXPECT_FALSE(doomed->endPress());
        }
        EXPECT_TRUE(alive.isNull()) << lost;
    }
}

TEST_F(Pointer, APicturesOwnVisibilityAndItsWindowNeverDisagree) {
    QWidget& window = picture;
    window.hide();
    EXPECT_FALSE(picture.Visible());
    EXPECT_EQ(form.receiverAt({110, 60}), "frm");
    picture.setVisible(true);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(form.receiverAt({110, 60}), "pic");
    // What the form finds by name is the picture's place, in its container's scale.
    const forms::Control* placed = form.findControl("pic");
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed, &picture.control());
    EXPECT_FLOAT_EQ(placed->Left(), 1500.0f);
    picture.Move(1515, 750);
    EXPECT_EQ(window.geometry(), QRect(101, 50, 40, 20));
}

TEST_F(Window, LabelDrawsItsCaptionInTheBitmapFont) {
    forms::Label& label = form.addLabel("l", 0, 0, 600, 135); // 40 x 9 pixels
    label.setForeColor(forms::rgb(192, 0, 0));
    label.setCaption("A");
    const QImage& img = label.image();
    ASSERT_EQ(img.size(), QSize(40, 9));
    const forms::Glyph& g = forms::glyphFor('A');
    int lit = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool on = (g[y] >> (5 - x)) & 1;
            lit += on;
            EXPECT_EQ(img.pixel(x, y), on ? qRgb(192, 0, 0) : qRgba(0, 0, 0, 0)) << x << "," << y;
        }
    EXPECT_GT(lit, 0);
    // Nothing beyond the one glyph cell.
    for (int x = 6; x < 40; ++x) EXPECT_EQ(qAlpha(img.pixel(x, 3)), 0);
}

TEST_F(Window, LabelMarksACharacterTheFontLacksInOneCell) {
    forms::Label& arabic = form.addLabel("ar", 0, 0, 600, 135);
    forms::Label& marked = form.addLabel("marked", 0, 150, 600, 135);
    arabic.setAlignment(forms::Label::Align::Center);
    marked.setAlignment(forms::Label::Align::Center);
    arabic.setCaption("0\xD9\xAB"
                      "457");
    marked.setCaption(std::string("0") + forms::kMissingGlyph + "457");
    EXPECT_EQ(arabic.Caption(), "0\xD9\xAB"
                                "457");
    EXPECT_TRUE(arabic.image() == marked.image());
}

TEST_F(Window, CentredOpaqueLabelFillsItsBackground) {
    forms::Label& label = form.addLabel("l", 0, 0, 180, 135); // 12 x 9 pixels
    label.setOpaque(true);
    label.setBackColor(0x000000);
    label.setForeColor(0xFFFFFF);
    label.setAlignment(forms::Label::Align::Center);
    label.setCaption("I");
    const QImage& img = label.image();
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(11, 8), qRgb(0, 0, 0));
    // The one glyph stands in cells 3..8.
    bool inkLeft = false, inkInCell = false;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 3; ++x) inkLeft |= img.pixel(x, y) != qRgb(0, 0, 0);
        for (int x = 3; x < 9; ++x) inkInCell |= img.pixel(x, y) == qRgb(255, 255, 255);
    }
    EXPECT_FALSE(inkLeft);
    EXPECT_TRUE(inkInCell);
}

// What a change to a label repaints: nothing when the value is the one it has, and only the
// character cells when just the ink changes.
TEST_F(Window, LabelRepaintsOnlyWhatAChangeTouches) {
    struct PaintLog : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } log;
    forms::Label& label = form.addLabel("l", 300, 150, 1500, 135); // 100 x 9 pixels at 20, 10
    label.setOpaque(true);
    label.setCaption("AB");
    label.setForeColor(0xFFFFFF);
    form.show();
    QCoreApplication::processEvents();
    form.installEventFilter(&log);
    auto paintedAfter = [&](auto change) {
        log.painted = QRegion();
        change();
        QCoreApplication::processEvents();
        return log.painted;
    };

    EXPECT_TRUE(paintedAfter([&] { label.setCaption("AB"); }).isEmpty());
    EXPECT_TRUE(paintedAfter([&] { label.setForeColor(0xFFFFFF); }).isEmpty());
    EXPECT_TRUE(paintedAfter([&] { label.setVisible(true); }).isEmpty());
    EXPECT_EQ(paintedAfter([&] { label.setForeColor(0x808080); }), QRegion(20, 10, 12, 8));
    EXPECT_EQ(paintedAfter([&] { label.setCaption("ABC"); }), QRegion(20, 10, 18, 8));
    // The pixels drawn are those of a label drawn afresh.
    const QImage after = label.image();
    EXPECT_EQ(paintedAfter([&] {
        label.setAlignment(forms::Label::Align::Center);
        label.setAlignment(forms::Label::Align::Left);
    }),
        QRegion(20, 10, 100, 9));
    EXPECT_EQ(label.image(), after);
    EXPECT_EQ(paintedAfter([&] { label.setCaption(""); }), QRegion(20, 10, 18, 8));
    EXPECT_TRUE(paintedAfter([&] { label.setForeColor(0x404040); }).isEmpty());
}

} // namespace
