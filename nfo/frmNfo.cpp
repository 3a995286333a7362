#include "nfo/frmNfo.h"

#include <functional>
#include <utility>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QPalette>

#include "effects/PulseRamp.h"
#include "forms/Accessibility.h"
#include "nfo/NfoReading.h"
#include "player/PlayerState.h"

namespace nfo {

namespace {

constexpr forms::Colour kWhite = 0xFFFFFF;
constexpr forms::Colour kBlack = 0x000000;
// What readers call the window; its caption stays as the window system knows it.
constexpr const char* kReaderName = "Velsmoor, Part I [Orvantis]: NFO";

// A window manager may close the window behind the program's back (a key chord, a task-bar
// menu); that has to count as an unload, or the object would think the window is still there.
// Escape closes the window as its Close label does.
class WindowWatcher final : public QObject {
public:
    WindowWatcher(QObject* parent, std::function<void()> onClose, std::function<void()> onEscape)
        : QObject(parent), onClose_(std::move(onClose)), onEscape_(std::move(onEscape)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != parent()) return false;
        if (event->type() == QEvent::Close && onClose_) onClose_();
        if (event->type() == QEvent::KeyPress) {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
                onEscape_();
                return true;
            }
        }
        return false;
    }

private:
    std::function<void()> onClose_;
    std::function<void()> onEscape_;
};

std::string readResource(const char* path) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

forms::Colour systemWindowColour() {
    const QColor c = QApplication::palette().color(QPalette::Base);
    return forms::rgb(c.red(), c.green(), c.blue());
}

} // namespace

const std::string& frmNfo::nfoText() {
    static const std::string text = readResource(":/assets/nfo.txt");
    return text;
}

const QImage& frmNfo::backgroundPicture() {
    static const QImage picture(QStringLiteral(":/assets/nfo_back.png"));
    return picture;
}

frmNfo::frmNfo(forms::TimerClock& clock) : clock_(clock) {}

frmNfo::~frmNfo() {
    timer5_.reset();
    delete form_.data();
    delete retired_.data();
}

void frmNfo::Show() {
    if (!isLoaded()) load();
    form_->show();
    form_->raise();
    form_->activateWindow();
}

void frmNfo::load() {
    auto* form = new forms::Form("frmNfo", 8265, 9060);
    form->setBackColor(kBlack);
    form->setCaption("Form1");
    form->setAccessibleName(QString::fromLatin1(kReaderName));
    // An empty icon of its own, so the window does not take the application's icon.
    form->setWindowIcon(QIcon());
    form->onMouseMove = [this](const forms::MouseEventArgs& e) { Form_MouseMove(e); };

    forms::Picture& back = form->addPicture("Back", 45, 60, 8175, 8655);
    back.setFlatBorder(true);
    back.setBackColor(systemWindowColour());
    back.setPicture(backgroundPicture());
    back.onMouseMove = [this](const forms::MouseEventArgs& e) { Back_MouseMove(e); };

    timer5_ = std::make_unique<forms::Timer>(clock_, "Timer5");
    timer5_->onTimer = [this] { Timer5_Timer(); };

    forms::Label& text = back.addLabel("lblNfo", 120, 120, 7935, 8295);
    text.setCaption(nfoText());
    text.setForeColor(kWhite);
    text.setOpaque(false);
    text.onMouseMove = [this](const forms::MouseEventArgs& e) { lblNfo_MouseMove(e); };
    text.onMouseDown = [this](const forms::MouseEventArgs& e) { lblNfo_MouseDown(e); };
    text.onMouseUp = [this](const forms::MouseEventArgs& e) { lblNfo_MouseUp(e); };

    forms::Label& shadow = back.addLabel("lblNfoShadow", 150, 165, 7935, 8295);
    shadow.setCaption(nfoText());
    shadow.setForeColor(kBlack);
    shadow.setOpaque(false);

    forms::Label& close = form->addLabel("lblClose", 7530, 8805, 600, 255);
    close.setCaption("Close");
    close.setForeColor(kWhite);
    close.setBackColor(kBlack);
    close.setOpaque(false);
    close.onMouseMove = [this](const forms::MouseEventArgs& e) { lblClose_MouseMove(e); };
    close.onClick = [this] { lblClose_Click(); };

    form->installEventFilter(new WindowWatcher(
        form, [this] { closedByWindowSystem(); }, [this] { lblClose_Click(); }));
    forms::exposeLabelParts(text, readingOf(nfoText()));
    forms::exposeLabel(close);

    form_ = form;
    back_ = &back;
    lblNfo_ = &text;
    lblNfoShadow_ = &shadow;
    lblClose_ = &close;
    Form_Load();
}

void frmNfo::Unload() {
    if (!isLoaded() || unloading_) return;
    unloading_ = true;
    // A press on the text has no release to wait for once the window is gone (Escape or the
    // window system closed it mid-drag): it ends here, or the next opening would follow the
    // pointer with no button held.
    if (back_) back_->endPress();
    timer5_.reset();
    forms::Form* form = form_;
    form_ = nullptr;
    back_ = nullptr;
    lblNfo_ = nullptr;
    lblNfoShadow_ = nullptr;
    lblClose_ = nullptr;
    // Closing (rather than hiding) lets the application end when this was its last window.
    form->close();
    delete retired_.data();
    retired_ = form;
    form->deleteLater();
    unloading_ = false;
}

void frmNfo::closedByWindowSystem() {
    if (!unloading_) Unload();
}

void frmNfo::Form_Load() {
    closeStep = 0;
    timer5_->setInterval(100);
    timer5_->setEnabled(false);
}

void frmNfo::stopPulse() {
    if (!isLoaded()) return;
    timer5_->setEnabled(false);
    lblClose_->setForeColor(kWhite);
}

void frmNfo::Form_MouseMove(const forms::MouseEventArgs&) { stopPulse(); }

void frmNfo::Back_MouseMove(const forms::MouseEventArgs&) { stopPulse(); }

void frmNfo::lblNfo_MouseMove(const forms::MouseEventArgs& e) {
    stopPulse();
    if (!isLoaded() || dragging == player::kFalse || !forms::Form::canPlaceWindows()) return;
    const float left = static_cast<float>((static_cast<double>(form_->Left()) + e.X) - static_cast<double>(dragStartX));
    const float top = static_cast<float>((static_cast<double>(form_->Top()) + e.Y) - static_cast<double>(dragStartY));
    form_->Move(left, top);
    // Nested handlers may run here, even another drag step or an unload: touch nothing after.
    forms::DoEvents();
}

void frmNfo::lblNfo_MouseDown(const forms::MouseEventArgs& e) {
    dragging = player::kTrue;
    dragStartX = e.X;
    dragStartY = e.Y;
    // Where the program may not place its own window, the compositor drags it instead; once
    // it has the drag, the press ends here (lblNfo_MouseUp runs).
    if (isLoaded() && !forms::Form::canPlaceWindows()) form_->startSystemMove();
}

void frmNfo::lblNfo_MouseUp(const forms::MouseEventArgs&) { dragging = player::kFalse; }

void frmNfo::lblClose_MouseMove(const forms::MouseEventArgs&) {
    if (isLoaded()) timer5_->setEnabled(true);
}

void frmNfo::lblClose_Click() { Unload(); }

void frmNfo::Timer5_Timer() {
    Flash3();
    closeStep = effects::nextRampStep(closeStep);
}

void frmNfo::Flash3() {
    if (!isLoaded() || !effects::isRampStep(closeStep)) return;
    lblClose_->setForeColor(effects::PulseRamp[static_cast<std::size_t>(closeStep)]);
}

} // namespace nfo
