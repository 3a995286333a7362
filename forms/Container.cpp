#include "forms/Container.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWindow>

#include "forms/Picture.h"

namespace forms {

namespace {

int buttonBit(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return kLeftButton;
    case Qt::RightButton: return kRightButton;
    case Qt::MiddleButton: return kMiddleButton;
    default: return 0;
    }
}

int buttonMask(Qt::MouseButtons bs) {
    int m = 0;
    if (bs & Qt::LeftButton) m |= kLeftButton;
    if (bs & Qt::RightButton) m |= kRightButton;
    if (bs & Qt::MiddleButton) m |= kMiddleButton;
    return m;
}

int shiftMask(Qt::KeyboardModifiers mods) {
    int m = 0;
    if (mods & Qt::ShiftModifier) m |= kShiftMask;
    if (mods & Qt::ControlModifier) m |= kCtrlMask;
    if (mods & Qt::AltModifier) m |= kAltMask;
    return m;
}

} // namespace

Container::Container(QWidget* parent, std::string name, Qt::WindowFlags flags)
    : QWidget(parent, flags), containerName_(std::move(name)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

Container::~Container() = default;

void Container::setBackColor(Colour c) {
    if (c == backColor_) return;
    backColor_ = c;
    update();
}

void Container::setPicture(const QImage& image) {
    if (!image.isNull() && image.cacheKey() == pictureSource_) return;
    pictureSource_ = image.cacheKey();
    // Kept in the format the window is painted in, so drawing it is a plain copy.
    picture_ =
        image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    update();
}

void Container::setFlatBorder(bool on) {
    border_ = on;
    for (Picture* p : pictureOrder_) p->place();
    update();
}

void Container::setScale(float scaleWidth, float scaleHeight) {
    userScale_ = true;
    scaleWidth_ = scaleWidth;
    scaleHeight_ = scaleHeight;
}

float Container::innerWidthTwips() const {
    return designWidthTwips() - 2.0f * kTwipsPerPixel * static_cast<float>(borderPixels());
}

float Container::innerHeightTwips() const {
    return designHeightTwips() - 2.0f * kTwipsPerPixel * static_cast<float>(borderPixels());
}

float Container::ScaleWidth() const { return userScale_ ? scaleWidth_ : innerWidthTwips(); }
float Container::ScaleHeight() const { return userScale_ ? scaleHeight_ : innerHeightTwips(); }

double Container::toTwipsX(double v) const { return userScale_ ? v * innerWidthTwips() / scaleWidth_ : v; }
double Container::toTwipsY(double v) const { return userScale_ ? v * innerHeightTwips() / scaleHeight_ : v; }
double Container::fromTwipsX(double t) const { return userScale_ ? t * scaleWidth_ / innerWidthTwips() : t; }
double Container::fromTwipsY(double t) const { return userScale_ ? t * scaleHeight_ / innerHeightTwips() : t; }

Label& Container::addLabel(const std::string& name, float left, float top, float width, float height) {
    auto label = std::unique_ptr<Label>(
        new Label(this, name, static_cast<float>(fromTwipsX(left)), static_cast<float>(fromTwipsY(top)),
            static_cast<float>(fromTwipsX(width)), static_cast<float>(fromTwipsY(height))));
    Label& ref = *label;
    ownedLabels_.push_back(std::move(label));
    labelOrder_.push_back(&ref);
    repaintRect(ref.pixelRect());
    return ref;
}

Picture& Container::addPicture(const std::string& name, float left, float top, float width, float height) {
    auto* p = new Picture(this, name, static_cast<float>(fromTwipsX(left)), static_cast<float>(fromTwipsY(top)),
        static_cast<float>(fromTwipsX(width)), static_cast<float>(fromTwipsY(height)));
    // Each new picture goes behind the ones created before it.
    p->lower();
    pictureOrder_.push_back(p);
    return *p;
}

Control* Container::findControl(const std::string& name) const {
    for (Label* l : labelOrder_)
        if (l->name() == name) return l;
    for (Picture* p : pictureOrder_) {
        if (p->name() == name) return &p->control();
        if (Control* c = p->findControl(name)) return c;
    }
    return nullptr;
}

Label* Container::labelAt(QPoint inner) const {
    for (Label* l : labelOrder_)
        if (l->Visible() && l->pixelRect().contains(inner)) return l;
    return nullptr;
}

std::string Container::receiverAt(QPoint pixel) const {
    for (Picture* p : pictureOrder_) {
        if (!p->Visible()) continue;
        const QRect r = p->pixelRect();
        if (r.contains(pixel)) return p->receiverAt(pixel - r.topLeft() - QPoint(p->borderPixels(), p->borderPixels()));
    }
    if (Label* l = labelAt(pixel)) return l->name();
    return containerName_;
}

void Container::repaintRect(const QRect& innerRect) { update(innerRect.translated(borderPixels(), borderPixels())); }

void Container::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    const QRegion& dirty = e->region();
    p.setClipRegion(dirty);
    const int b = borderPixels();
    const QRect inner = rect().adjusted(b, b, -b, -b);
    // The background shows only where an opaque picture does not cover it.
    QRegion background = dirty;
    if (!picture_.isNull() && !picture_.hasAlphaChannel()) background -= QRect(QPoint(b, b), picture_.size()) & inner;
    const QColor back = toQColor(backColor_);
    for (const QRect& r : background) p.fillRect(r, back);
    if (b) {
        p.setPen(QColor(Qt::black));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setClipRect(inner, Qt::IntersectClip);
    }
    p.translate(b, b);
    if (!picture_.isNull()) p.drawImage(QPoint(0, 0), picture_);
    const QRect area = dirty.boundingRect().translated(-b, -b);
    for (auto it = labelOrder_.rbegin(); it != labelOrder_.rend(); ++it)
        if ((*it)->Visible() && (*it)->paintedRect().intersects(area)) (*it)->paint(p);
}

// Positions come from the global pointer position and where this widget is now: a window
// that was just moved may still get events placed relative to its old position.
QPointF Container::localPosition(const QMouseEvent* e) const { return mapFromGlobal(e->globalPosition()); }

MouseEventArgs Container::argsFor(const QMouseEvent* e, Label* target) const {
    return argsAt(localPosition(e), e->modifiers(), target);
}

MouseEventArgs Container::argsAt(QPointF local, Qt::KeyboardModifiers modifiers, Label* target) const {
    const QPointF pos = local - QPointF(borderPixels(), borderPixels());
    MouseEventArgs a;
    a.Shift = shiftMask(modifiers);
    if (target) {
        const QRect r = target->pixelRect();
        a.X = static_cast<float>(fromTwipsX((pos.x() - r.x()) * kTwipsPerPixel));
        a.Y = static_cast<float>(fromTwipsY((pos.y() - r.y()) * kTwipsPerPixel));
    } else {
        a.X = static_cast<float>(fromTwipsX(pos.x() * kTwipsPerPixel));
        a.Y = static_cast<float>(fromTwipsY(pos.y() * kTwipsPerPixel));
    }
    return a;
}

namespace {
PointerHandlers& handlersOf(Container& c, Label* label) {
    return label ? static_cast<PointerHandlers&>(*label) : c.handlers();
}
// Set while the release that the compositor kept is handed to the widgets: it ends the press
// but is no click.
bool handingOverPress = false;

QPoint innerPoint(const QPointF& p, int border) {
    return QPoint(static_cast<int>(std::floor(p.x())) - border, static_cast<int>(std::floor(p.y())) - border);
}
} // namespace

void Container::mousePressEvent(QMouseEvent* e) {
    if (!endLostPress(e, e->buttons() & ~e->button())) return;
    if (!pressed_) {
        pressed_ = true;
        pressedLabel_ = labelAt(innerPoint(localPosition(e), borderPixels()));
    }
    MouseEventArgs a = argsFor(e, pressedLabel_);
    a.Button = buttonBit(e->button());
    if (auto& h = handlersOf(*this, pressedLabel_).onMouseDown) h(a);
}

void Container::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

// A press whose release went elsewhere (a modal box that opened while the button was held
// takes it) is ended as a release would end it, without a click, once an event shows that no
// button of it is still held. False when the handler unloaded the window.
bool Container::endLostPress(QMouseEvent* e, Qt::MouseButtons stillHeld) {
    if (!pressed_ || stillHeld != Qt::NoButton) return true;
    Label* released = pressedLabel_;
    pressed_ = false;
    pressedLabel_ = nullptr;
    MouseEventArgs up = argsFor(e, released);
    up.Button = 0;
    QPointer<Container> alive(this);
    if (auto& h = handlersOf(*this, released).onMouseUp) h(up);
    return !alive.isNull();
}

bool Container::endPress() {
    if (!pressed_) return true;
    Label* released = pressedLabel_;
    pressed_ = false;
    pressedLabel_ = nullptr;
    MouseEventArgs up = argsAt(mapFromGlobal(QPointF(QCursor::pos())), QGuiApplication::keyboardModifiers(), released);
    QPointer<Container> alive(this);
    if (auto& h = handlersOf(*this, released).onMouseUp) h(up);
    return !alive.isNull();
}

void Container::mouseMoveEvent(QMouseEvent* e) {
    if (!endLostPress(e, e->buttons())) return;
    Label* target = pressed_ ? pressedLabel_ : labelAt(innerPoint(localPosition(e), borderPixels()));
    MouseEventArgs a = argsFor(e, target);
    a.Button = buttonMask(e->buttons());
    if (auto& h = handlersOf(*this, target).onMouseMove) h(a);
}

void Container::mouseReleaseEvent(QMouseEvent* e) {
    if (handingOverPress) {
        endPress();
        return;
    }
    const QPoint inner = innerPoint(localPosition(e), borderPixels());
    Label* target = pressed_ ? pressedLabel_ : labelAt(inner);
    const bool wasPressed = pressed_;
    if (e->buttons() == Qt::NoButton) {
        pressed_ = false;
        pressedLabel_ = nullptr;
    }
    MouseEventArgs a = argsFor(e, target);
    a.Button = buttonBit(e->button());
    // A handler may unload the window this container belongs to.
    QPointer<Container> alive(this);
    if (auto& h = handlersOf(*this, target).onMouseUp) h(a);
    if (!alive || !wasPressed) return;
    const QRect innerRect = rect().adjusted(0, 0, -2 * borderPixels(), -2 * borderPixels());
    const bool over = target ? target->pixelRect().contains(inner) : innerRect.contains(inner);
    if (over && e->buttons() == Qt::NoButton)
        if (auto& h = handlersOf(*this, target).onClick) h();
}

void Container::handOverRelease(QWindow* window, QMouseEvent& release) {
    handingOverPress = true;
    QCoreApplication::sendEvent(window, &release);
    handingOverPress = false;
}

} // namespace forms
