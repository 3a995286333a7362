// The NFO window driven through real pointer events on its widgets and a virtual clock.
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>

#include "effects/PulseRamp.h"
#include "forms/Accessibility.h"
#include "nfo/frmNfo.h"

namespace {

constexpr forms::Colour kWhite = 0xFFFFFF;

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class NfoWindow : public ::testing::Test {
public:
    ~NfoWindow() override { flushDeletes(); }

    forms::Form& form() { return *nfo.form(); }
    QWidget& back() { return *nfo.Back(); }

    // Points in widget coordinates, found from the controls' own geometry.
    QPoint onClose() { return nfo.lblClose()->pixelRect().center(); }
    QPoint onFormBackground() { return {1, 1}; }
    QPoint onBackMargin() { return backPoint({3, 3}); }
    QPoint onText() { return backPoint(nfo.lblNfo()->pixelRect().topLeft() + QPoint(100, 100)); }
    // The shadow's strips that the text label leaves uncovered: right of it and below it.
    QPoint onShadowRightStrip() {
        const QRect t = nfo.lblNfo()->pixelRect();
        return backPoint({t.right() + 1, t.top() + 200});
    }
    QPoint onShadowBottomStrip() {
        const QRect t = nfo.lblNfo()->pixelRect();
        return backPoint({t.left() + 200, t.bottom() + 2});
    }
protected:
    QPoint backPoint(QPoint inner) {
        const int b = nfo.Back()->borderPixels();
        return inner + QPoint(b, b);
    }
    // What the form would route a press at a Back-widget point to.
    std::string receiverInBack(QPoint widgetPoint) {
        const int b = nfo.Back()->borderPixels();
        return nfo.Back()->receiverAt(widgetPoint - QPoint(b, b));
    }

    static void send(QWidget& w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(local), QPointF(w.mapToGlobal(local)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&w, &e);
    }
    static void hover(QWidget& w, QPoint p) { send(w, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    static void click(QWidget& w, QPoint p) {
        send(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        send(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }

    // The Close label's colour after each of n ticks.
    std::vector<forms::Colour> ticks(int n) {
        std::vector<forms::Colour> seen;
        for (int i = 0; i < n; ++i) {
            clock.advance(100);
            seen.push_back(nfo.lblClose()->ForeColor());
        }
        return seen;
    }

    forms::VirtualClock clock;
    nfo::frmNfo nfo{clock};
};

// ---- layout --------------------------------------------------------------------------------

TEST_F(NfoWindow, LoadsTheWindowWithItsControlsInPlace) {
    EXPECT_FALSE(nfo.isLoaded());
    nfo.Show();
    ASSERT_TRUE(nfo.isLoaded());
    EXPECT_TRUE(form().isVisible());
    EXPECT_TRUE(form().isWindow());
    EXPECT_EQ(form().parentWidget(), nullptr);
    EXPECT_TRUE(form().windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form().size(), QSize(551, 604));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Form1"));
    EXPECT_TRUE(form().windowIcon().isNull());
    EXPECT_EQ(form().BackColor(), 0x000000u);

    EXPECT_EQ(nfo.Back()->pixelRect(), QRect(3, 4, 545, 577));
    EXPECT_EQ(nfo.Back()->borderPixels(), 1);
    EXPECT_EQ(nfo.lblNfo()->pixelRect(), QRect(8, 8, 529, 553));
    EXPECT_EQ(nfo.lblNfoShadow()->pixelRect(), QRect(10, 11, 529, 553));
    EXPECT_EQ(nfo.lblClose()->pixelRect(), QRect(502, 587, 40, 17));
    // "Close" ends at the window's bottom edge, below the picture box.
    EXPECT_EQ(nfo.lblClose()->pixelRect().bottom() + 1, form().height());
    EXPECT_GT(nfo.lblClose()->pixelRect().top(), nfo.Back()->pixelRect().bottom());

    // The text lies in front of its shadow.
    ASSERT_EQ(nfo.Back()->labels().size(), 2u);
    EXPECT_EQ(nfo.Back()->labels()[0], nfo.lblNfo());
    EXPECT_EQ(nfo.Back()->labels()[1], nfo.lblNfoShadow());

    EXPECT_EQ(nfo.lblNfo()->ForeColor(), kWhite);
    EXPECT_EQ(nfo.lblNfoShadow()->ForeColor(), 0x000000u);
    EXPECT_FALSE(nfo.lblNfo()->Opaque());
    EXPECT_FALSE(nfo.lblNfoShadow()->Opaque());
    EXPECT_FALSE(nfo.lblClose()->Opaque());
    EXPECT_EQ(nfo.lblClose()->Caption(), "Close");
    EXPECT_EQ(nfo.lblClose()->ForeColor(), kWhite);
    EXPECT_EQ(nfo.lblNfoShadow()->Caption(), nfo.lblNfo()->Caption());

    ASSERT_NE(nfo.Timer5(), nullptr);
    EXPECT_EQ(nfo.Timer5()->Interval(), 100);
    EXPECT_FALSE(nfo.Timer5()->Enabled());
    EXPECT_EQ(nfo.closeStep, 0);

    // The embedded text and picture, the text laid out without a wrapped line.
    const std::string& text = nfo::frmNfo::nfoText();
    EXPECT_EQ(nfo.lblNfo()->Caption(), text);
    EXPECT_EQ(nfo.Back()->picture().size(), QSize(800, 600));
    const std::vector<std::string> lines = splitCrLf(text);
    EXPECT_EQ(lines.size(), 68u);
    EXPECT_EQ(nfo.lblNfo()->layoutLines(), lines);
    EXPECT_EQ(nfo.lblNfoShadow()->layoutLines(), lines);
}

// ---- what the window draws ---------------------------------------------------------------

// A reader finds the window by a name of its own, the logo as one picture, and the words of
// the boxes without their frames, one box after the other.
TEST_F(NfoWindow, AReaderFindsTheLogoApartFromTheReadableText) {
    forms::enableAccessibility();
    nfo.Show();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_FALSE(window->text(QAccessible::Name).isEmpty());
    EXPECT_NE(window->text(QAccessible::Name), QStringLiteral("Form1"));

    std::vector<QAccessibleInterface*> found; // in reading order
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            found.push_back(node->child(i));
            walk(node->child(i));
        }
    };
    walk(window);
    std::vector<QAccessibleInterface*> pictures;
    std::vector<std::string> texts;
    QRect logo, firstText;
    for (QAccessibleInterface* item : found) {
        if (item->role() == QAccessible::Graphic && item->object() == nullptr) {
            pictures.push_back(item);
            logo = item->rect();
        }
        if (item->role() == QAccessible::StaticText) {
            QAccessibleTextInterface* t = item->textInterface();
            ASSERT_NE(t, nullptr);
            texts.push_back(t->text(0, t->characterCount()).toStdString());
            if (firstText.isNull()) firstText = item->rect();
        }
    }
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->text(QAccessible::Name), QStringLiteral("Drelkin logo"));
    EXPECT_LT(logo.bottom(), firstText.top()) << "the logo stands above the text";
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0].rfind("Kon ichi wa!\n\nWe are proud to present our first prod -\n"
                             "Velsmoor, Part I -  to you.\n",
                  0),
        0u)
        << texts[0];
    auto anyHolds = [&](const std::string& words) {
        return std::any_of(texts.begin(), texts.end(),
            [&](const std::string& t) { return t.find(words) != std::string::npos; });
    };
    for (const char* words : {"- Drelkin 2003", "\"Have you ever wondered\nwhy they say that", "Credits\n\nCode      :",
             "and all the rest of you we\nforgot to mention.", "BASSMOD 1.6 ...", "all rights reserved."})
        EXPECT_TRUE(anyHolds(words)) << words;
    for (const std::string& t : texts)
        for (const char* art : {"|", "__", "/:", ":::"})
            EXPECT_EQ(t.find(art), std::string::npos) << art << " in " << t;

    const auto close = std::find_if(found.begin(), found.end(),
        [](QAccessibleInterface* i) { return i->text(QAccessible::Name) == QStringLiteral("Close"); });
    ASSERT_NE(close, found.end());
    EXPECT_EQ((*close)->role(), QAccessible::Button);
    (*close)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(nfo.isLoaded());
}

TEST_F(NfoWindow, DrawsPictureTextShadowAndClose) {
    const QImage& picture = nfo::frmNfo::backgroundPicture();
    ASSERT_FALSE(picture.isNull()) << "the NFO background asset is not embedded";
    nfo.Show();
    const QImage shot = form().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(551, 604));
    const auto rgb = [](QRgb c) { return c & 0xFFFFFFu; };

    // Black window around the picture box, and under it where "Close" stands.
    EXPECT_EQ(rgb(shot.pixel(1, 1)), 0u);
    EXPECT_EQ(rgb(shot.pixel(20, 595)), 0u);

    // The picture starts unscaled at the inner top-left and is clipped at the inner bottom-right.
    const QPoint inner = nfo.Back()->pixelRect().topLeft() + QPoint(1, 1);
    for (QPoint p :
        {QPoint(0, 0), QPoint(3, 0), QPoint(0, 1), QPoint(6, 5), QPoint(542, 574), QPoint(541, 573), QPoint(540, 300)})
        EXPECT_EQ(rgb(shot.pixel(inner + p)), rgb(picture.pixel(p))) << p.x() << "," << p.y();

    // Every lit pixel of the text is white on screen, and its shadow lies 2 right and 3 down.
    const QImage& text = nfo.lblNfo()->image();
    const QPoint textAt = inner + nfo.lblNfo()->pixelRect().topLeft();
    int lit = 0, shadowed = 0;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x) {
            if (qAlpha(text.pixel(x, y)) == 0) continue;
            ++lit;
            ASSERT_EQ(rgb(shot.pixel(textAt + QPoint(x, y))), 0xFFFFFFu) << x << "," << y;
            const QPoint s = QPoint(x + 2, y + 3);
            const bool coveredByText = s.x() < text.width() && s.y() < text.height() && qAlpha(text.pixel(s)) != 0;
            if (!coveredByText) {
                EXPECT_EQ(rgb(shot.pixel(textAt + s)), 0u) << s.x() << "," << s.y();
                ++shadowed;
            }
        }
    EXPECT_GT(lit, 1000);
    EXPECT_GT(shadowed, lit / 2);

    int closeLit = 0;
    const QRect close = nfo.lblClose()->pixelRect();
    for (int y = close.top(); y <= close.bottom(); ++y)
        for (int x = close.left(); x <= close.right(); ++x) closeLit += rgb(shot.pixel(x, y)) == 0xFFFFFFu;
    EXPECT_GT(closeLit, 20);
}

// ---- Close pulse ---------------------------------------------------------------------------

TEST_F(NfoWindow, FirstHoverShowsWhiteThenRunsTheRamp) {
    nfo.Show();
    EXPECT_FALSE(clock.advanceToNextTick(10'000)) << "no tick before the first hover";
    hover(form(), onClose());
    clock.advance(60);
    hover(form(), onClose() + QPoint(1, 0)); // a second move keeps the countdown
    clock.advance(40);
    EXPECT_EQ(nfo.closeStep, 1);
    EXPECT_TRUE(nfo.Timer5()->Enabled());
    EXPECT_EQ(nfo.lblClose()->ForeColor(), kWhite);

    const std::vector<forms::Colour> expected = {0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0x404040,
        0x808080, 0xC0C0C0, 0xE0E0E0, 0xFFFFFF, // one cycle of eleven ticks
        0xFFFFFF, 0xE0E0E0};                    // white twice at the seam
    EXPECT_EQ(ticks(12), std::vector<forms::Colour>(expected.begin() + 1, expected.end()));
    EXPECT_EQ(nfo.closeStep, 2);
}

struct StopPoint {
    const char* where;
    bool inBack;
    QPoint (NfoWindow::*point)();
};

void PrintTo(const StopPoint& p, std::ostream* os) { *os << p.where; }

class NfoPulseStop : public NfoWindow, public ::testing::WithParamInterface<StopPoint> {};

TEST_P(NfoPulseStop, StopsInMidRampAndResumesAtTheNextStep) {
    nfo.Show();
    hover(form(), onClose());
    ticks(4); // shows steps 0..3
    ASSERT_EQ(nfo.lblClose()->ForeColor(), 0x808080u);

    QWidget& target = GetParam().inBack ? back() : static_cast<QWidget&>(form());
    hover(target, (this->*GetParam().point)());
    EXPECT_FALSE(nfo.Timer5()->Enabled());
    EXPECT_EQ(nfo.lblClose()->ForeColor(), kWhite);
    EXPECT_EQ(nfo.closeStep, 4);
    clock.advance(1000);
    EXPECT_EQ(nfo.lblClose()->ForeColor(), kWhite);

    hover(form(), onClose());
    EXPECT_EQ(ticks(2), (std::vector<forms::Colour>{0x404040, 0x000000}));
}

INSTANTIATE_TEST_SUITE_P(Places, NfoPulseStop,
    ::testing::Values(StopPoint{"window", false, &NfoWindow::onFormBackground},
        StopPoint{"picture", true, &NfoWindow::onBackMargin}, StopPoint{"text", true, &NfoWindow::onText}),
    [](const auto& info) { return std::string(info.param.where); });

TEST_F(NfoWindow, ShadowStripsNeitherStopNorStartThePulse) {
    nfo.Show();
    ASSERT_EQ(receiverInBack(onShadowRightStrip()), "lblNfoShadow");
    ASSERT_EQ(receiverInBack(onShadowBottomStrip()), "lblNfoShadow");
    // One pixel further out is the picture box itself.
    EXPECT_EQ(receiverInBack(onShadowRightStrip() + QPoint(2, 0)), "Back");
    EXPECT_EQ(receiverInBack(onShadowBottomStrip() + QPoint(0, 3)), "Back");

    hover(back(), onShadowRightStrip());
    hover(back(), onShadowBottomStrip());
    EXPECT_FALSE(nfo.Timer5()->Enabled());

    hover(form(), onClose());
    ticks(3);
    hover(back(), onShadowRightStrip());
    hover(back(), onShadowBottomStrip());
    EXPECT_TRUE(nfo.Timer5()->Enabled());
    EXPECT_EQ(nfo.lblClose()->ForeColor(), 0xC0C0C0u);
    EXPECT_EQ(ticks(1), std::vector<forms::Colour>{0x808080});
}

TEST_F(NfoWindow, StepOutsideTheRampChangesNothing) {
    nfo.Show();
    nfo.lblClose()->setForeColor(0x123456);
    for (std::int16_t step : {std::int16_t{-1}, std::int16_t{11}}) {
        nfo.closeStep = step;
        nfo.Flash3();
        EXPECT_EQ(nfo.lblClose()->ForeColor(), 0x123456u) << step;
    }
    nfo.closeStep = 11;
    nfo.Timer5_Timer();
    EXPECT_EQ(nfo.closeStep, 0);
}

// ---- opening and closing -------------------------------------------------------------------

TEST_F(NfoWindow, ShowWhileOpenKeepsTheSameWindowAndItsState) {
    nfo.Show();
    QPointer<forms::Form> first = nfo.form();
    hover(form(), onClose());
    ticks(3);
    form().move(40, 30);

    nfo.Show();
    EXPECT_EQ(nfo.form(), first.data());
    EXPECT_EQ(form().pos(), QPoint(40, 30));
    EXPECT_EQ(nfo.closeStep, 3);
    EXPECT_TRUE(nfo.Timer5()->Enabled());
    EXPECT_EQ(ticks(1), std::vector<forms::Colour>{0x808080});
}

TEST_F(NfoWindow, CloseUnloadsAndTheNextShowStartsAfresh) {
    nfo.Show();
    QPointer<forms::Form> first = nfo.form();
    const QPoint defaultPlace = first->pos();
    send(back(), QEvent::MouseButtonPress, onText(), Qt::LeftButton, Qt::LeftButton);
    const float dragX = nfo.dragStartX, dragY = nfo.dragStartY;
    send(back(), QEvent::MouseButtonRelease, onText(), Qt::LeftButton, Qt::NoButton);
    hover(form(), onClose());
    ticks(4);
    form().move(defaultPlace + QPoint(70, 50));

    click(form(), onClose());
    EXPECT_FALSE(nfo.isLoaded());
    EXPECT_EQ(nfo.form(), nullptr);
    EXPECT_EQ(nfo.lblClose(), nullptr);
    EXPECT_EQ(nfo.Timer5(), nullptr);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isVisible());
    flushDeletes();
    EXPECT_FALSE(first) << "the unloaded window is destroyed";
    EXPECT_FALSE(clock.advanceToNextTick(10'000)) << "the pulse timer went with the window";
    // The window object's drag fields outlive the unload.
    EXPECT_EQ(nfo.dragStartX, dragX);
    EXPECT_EQ(nfo.dragStartY, dragY);

    nfo.Show();
    ASSERT_TRUE(nfo.isLoaded());
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(form().pos(), defaultPlace);
    EXPECT_EQ(nfo.closeStep, 0);
    EXPECT_FALSE(nfo.Timer5()->Enabled());
    EXPECT_EQ(nfo.Timer5()->Interval(), 100);
    EXPECT_EQ(nfo.lblClose()->ForeColor(), kWhite);
    EXPECT_EQ(nfo.dragStartX, dragX);
    EXPECT_FALSE(clock.advanceToNextTick(10'000));
}

TEST_F(NfoWindow, UnloadedFromOutsideOrByTheWindowSystem) {
    // Never opened: unloading and every handler do nothing.
    nfo.Unload();
    forms::MouseEventArgs e;
    nfo.Form_MouseMove(e);
    nfo.Back_MouseMove(e);
    nfo.lblClose_MouseMove(e);
    nfo.lblNfo_MouseMove(e);
    nfo.Flash3();
    nfo.lblClose_Click();
    EXPECT_FALSE(nfo.isLoaded());

    nfo.Show();
    hover(form(), onClose());
    send(back(), QEvent::MouseButtonPress, onText(), Qt::LeftButton, Qt::LeftButton);
    QPointer<forms::Form> first = nfo.form();
    const float dragX = nfo.dragStartX;
    nfo.Unload();
    EXPECT_FALSE(nfo.isLoaded());
    // The press on the text can get no release once its window is gone: it ends with it.
    EXPECT_EQ(nfo.dragging, 0);
    EXPECT_EQ(nfo.dragStartX, dragX) << "the drag fields stay with the window object";
    flushDeletes();
    EXPECT_FALSE(first);
    EXPECT_FALSE(clock.advanceToNextTick(10'000));

    nfo.Show();
    EXPECT_EQ(nfo.dragging, 0);
    first = nfo.form();
    first->close();
    EXPECT_FALSE(nfo.isLoaded());
    flushDeletes();
    EXPECT_FALSE(first);
    nfo.Show();
    EXPECT_TRUE(nfo.isLoaded());
}

// ---- drag ----------------------------------------------------------------------------------

// Escape closes the window as Close does, also in the middle of a drag by the text: the drag
// ends with the window, so the next opening does not follow a pointer with no button held.
TEST_F(NfoWindow, EscapeWhileDraggingEndsTheDragWithTheWindow) {
    nfo.Show();
    const QPoint defaultPlace = form().pos();
    send(back(), QEvent::MouseButtonPress, onText(), Qt::LeftButton, Qt::LeftButton);
    send(back(), QEvent::MouseMove, onText() + QPoint(20, 10), Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(nfo.dragging, -1);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form(), &escape);
    EXPECT_FALSE(nfo.isLoaded());
    EXPECT_EQ(nfo.dragging, 0);
    flushDeletes();

    nfo.Show();
    ASSERT_TRUE(nfo.isLoaded());
    EXPECT_EQ(form().pos(), defaultPlace);
    for (QPoint step : {QPoint(30, 20), QPoint(-50, 40)}) hover(back(), onText() + step);
    EXPECT_EQ(form().pos(), defaultPlace) << "the window follows no pointer without a press";
    EXPECT_EQ(nfo.dragging, 0);
}

TEST_F(NfoWindow, RightButtonDragKeepsThePressedPointUnderThePointer) {
    nfo.Show();
    form().move(200, 150);
    const QPoint press = onText();

    send(back(), QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(nfo.dragging, -1);
    EXPECT_FLOAT_EQ(nfo.dragStartX, 100 * 15.0f);
    EXPECT_FLOAT_EQ(nfo.dragStartY, 100 * 15.0f);

    // The pointer moves; the window has not followed yet when the move arrives.
    for (QPoint step : {QPoint(30, 20), QPoint(-7, 11), QPoint(-400, -300)}) {
        const QPoint pointer = back().mapToGlobal(press) + step;
        send(back(), QEvent::MouseMove, back().mapFromGlobal(pointer), Qt::NoButton, Qt::RightButton);
        EXPECT_EQ(back().mapToGlobal(press), pointer) << step.x() << "," << step.y();
    }
    EXPECT_EQ(form().pos(), QPoint(200 + 30 - 7 - 400, 150 + 20 + 11 - 300));
    EXPECT_FLOAT_EQ(form().Left(), (200 + 30 - 7 - 400) * 15.0f);

    // Far outside the label the pressed label still has the pointer.
    const QPoint far = back().mapToGlobal(press) + QPoint(600, 700);
    send(back(), QEvent::MouseMove, back().mapFromGlobal(far), Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(back().mapToGlobal(press), far);

    const QPoint before = form().pos();
    send(back(), QEvent::MouseButtonRelease, back().mapFromGlobal(far), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(nfo.dragging, 0);
    send(back(), QEvent::MouseMove, press + QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form().pos(), before);
}

TEST_F(NfoWindow, PressesOffTheTextStartNoDrag) {
    nfo.Show();
    form().move(100, 100);
    const struct {
        const char* where;
        bool inBack;
        QPoint point;
    } places[] = {
        {"picture margin", true, onBackMargin()},
        {"shadow strip right", true, onShadowRightStrip()},
        {"shadow strip below", true, onShadowBottomStrip()},
        {"window background", false, onFormBackground()},
    };
    for (const auto& place : places) {
        QWidget& w = place.inBack ? back() : static_cast<QWidget&>(form());
        send(w, QEvent::MouseButtonPress, place.point, Qt::LeftButton, Qt::LeftButton);
        EXPECT_EQ(nfo.dragging, 0) << place.where;
        send(w, QEvent::MouseMove, place.point + QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(form().pos(), QPoint(100, 100)) << place.where;
        send(w, QEvent::MouseButtonRelease, place.point + QPoint(40, 30), Qt::LeftButton, Qt::NoButton);
    }
}

TEST_F(NfoWindow, MoveRuleRoundsThroughFloats) {
    nfo.Show();
    form().move(10, 10);
    nfo.dragging = -1;
    nfo.dragStartX = 1500.0f;
    nfo.dragStartY = 0.0f;
    forms::MouseEventArgs e;
    e.X = 1507.0f; // under half a pixel: the window stays
    e.Y = 8.0f;    // over half a pixel down: one pixel
    nfo.lblNfo_MouseMove(e);
    EXPECT_EQ(form().pos(), QPoint(10, 11));
}

} // namespace
