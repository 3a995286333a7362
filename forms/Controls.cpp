#include "forms/Controls.h"

#include <algorithm>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <QWindow>

#include "forms/BitmapFont.h"
#include "forms/TextLayout.h"

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

// ---- Control ------------------------------------------------------------------------------

Control::Control(Container* container, std::string name, float left, float top, float width,
                 float height)
    : container_(container), name_(std::move(name)), left_(left), top_(top), width_(width),
      height_(height) {}

QRect Control::pixelRect() const {
    if (!container_)
        return QRect(twipsToPixels(left_), twipsToPixels(top_), twipsToPixels(width_),
                     twipsToPixels(height_));
    return QRect(twipsToPixels(container_->toTwipsX(left_)),
                 twipsToPixels(container_->toTwipsY(top_)),
                 twipsToPixels(container_->toTwipsX(width_)),
                 twipsToPixels(container_->toTwipsY(height_)));
}

void Control::setLeft(float v) { Move(v, top_); }
void Control::setTop(float v) { Move(left_, v); }

void Control::Move(float left, float top) {
    if (left == left_ && top == top_)
        return;
    const QRect old = pixelRect();
    left_ = left;
    top_ = top;
    placementChanged(old);
}

void Control::setVisible(bool on) {
    if (on == visible_)
        return;
    visible_ = on;
    visibilityChanged();
}

// ---- Label --------------------------------------------------------------------------------

Label::Label(Container* container, std::string name, float left, float top, float width,
             float height)
    : Control(container, std::move(name), left, top, width, height) {}

namespace {
// A pulse visits six colours; a fade between two messages about ten.
constexpr std::size_t kKeptImages = 12;
} // namespace

void Label::invalidate() {
    inkValid_ = false;
    images_.clear();
    if (container() && Visible())
        container()->repaintRect(pixelRect());
}

void Label::invalidateInk(const QRect& oldInk) {
    if (!container() || !Visible())
        return;
    layoutInk();
    const QRect changed = oldInk.united(inkBounds_);
    if (!changed.isEmpty())
        container()->repaintRect(changed.translated(pixelRect().topLeft()));
}

void Label::setCaption(std::string text) {
    if (text == caption_)
        return;
    layoutInk();
    const QRect oldInk = inkBounds_;
    caption_ = std::move(text);
    inkValid_ = false;
    images_.clear();
    invalidateInk(oldInk);
    if (onChanged)
        onChanged();
}

void Label::setForeColor(Colour c) {
    if (c == foreColor_)
        return;
    foreColor_ = c;
    // The background and the layout stay: only lit pixels change.
    layoutInk();
    invalidateInk(inkBounds_);
}

void Label::setBackColor(Colour c) {
    if (c == backColor_)
        return;
    backColor_ = c;
    if (opaque_)
        invalidate();
}

void Label::setOpaque(bool on) {
    if (on == opaque_)
        return;
    opaque_ = on;
    invalidate();
}

void Label::setAlignment(Align a) {
    if (a == align_)
        return;
    align_ = a;
    invalidate();
}

void Label::placementChanged(const QRect& oldRect) {
    const QRect now = pixelRect();
    if (now.size() != oldRect.size()) {
        inkValid_ = false;
        images_.clear();
    }
    if (container() && Visible()) {
        container()->repaintRect(oldRect);
        container()->repaintRect(now);
    }
}

void Label::visibilityChanged() {
    if (container())
        container()->repaintRect(pixelRect());
    if (onChanged)
        onChanged();
}

std::vector<std::string> Label::layoutLines() const {
    return layoutText(caption_, pixelRect().width() / kGlyphWidth);
}

void Label::layoutInk() const {
    const QRect r = pixelRect();
    const QSize size(std::max(r.width(), 1), std::max(r.height(), 1));
    if (inkValid_ && inkSize_ == size)
        return;
    images_.clear();
    inkSize_ = size;
    ink_.assign(static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()), 0);
    inkBounds_ = QRect();
    const auto lines = layoutLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int y0 = static_cast<int>(i) * kGlyphHeight;
        if (y0 >= size.height())
            break;
        const std::string cells = cellsFor(lines[i]);
        const int lineWidth = static_cast<int>(cells.size()) * kGlyphWidth;
        int x = 0;
        if (align_ == Align::Center)
            x = (r.width() - lineWidth) / 2;
        for (unsigned char ch : cells) {
            const Glyph& g = glyphFor(ch);
            const QRect cell = QRect(x, y0, kGlyphWidth, kGlyphHeight) & QRect(QPoint(0, 0), size);
            bool lit = false;
            for (int row = 0; row < kGlyphHeight; ++row) {
                const int y = y0 + row;
                if (y < 0 || y >= size.height())
                    continue;
                std::uint8_t* line = ink_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size.width());
                for (int col = 0; col < kGlyphWidth; ++col) {
                    const int px = x + col;
                    if (px >= 0 && px < size.width() && (g[row] >> (5 - col)) & 1) {
                        line[px] = 1;
                        lit = true;
                    }
                }
            }
            if (lit)
                inkBounds_ |= cell;
            x += kGlyphWidth;
        }
    }
    inkValid_ = true;
}

const QImage& Label::image() const {
    layoutInk();
    for (const auto& [colour, img] : images_)
        if (colour == foreColor_)
            return img;
    if (images_.size() >= kKeptImages)
        images_.pop_front();
    // An opaque label needs no alpha, so it is drawn as a plain copy.
    QImage img(inkSize_, opaque_ ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    img.fill(opaque_ ? toQColor(backColor_) : QColor(Qt::transparent));
    const QRgb ink = toQColor(foreColor_).rgba();
    const int w = inkSize_.width();
    for (int y = 0; y < inkSize_.height(); ++y) {
        const std::uint8_t* lit = ink_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (lit[x])
                line[x] = ink;
    }
    images_.emplace_back(foreColor_, std::move(img));
    return images_.back().second;
}

QRect Label::paintedRect() const {
    if (opaque_)
        return pixelRect();
    layoutInk();
    return inkBounds_.translated(pixelRect().topLeft());
}

void Label::paint(QPainter& painter) const {
    if (!Visible())
        return;
    painter.drawImage(pixelRect().topLeft(), image());
}

// ---- Container ----------------------------------------------------------------------------

Container::Container(QWidget* parent, std::string name, Qt::WindowFlags flags)
    : QWidget(parent, flags), containerName_(std::move(name)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

Container::~Container() = default;

void Container::setBackColor(Colour c) {
    if (c == backColor_)
        return;
    backColor_ = c;
    update();
}

void Container::setPicture(const QImage& image) {
    if (!image.isNull() && image.cacheKey() == pictureSource_)
        return;
    pictureSource_ = image.cacheKey();
    // Kept in the format the window is painted in, so drawing it is a plain copy.
    picture_ = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
    update();
}

void Container::setFlatBorder(bool on) {
    border_ = on;
    for (Picture* p : pictureOrder_)
        p->place();
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

double Container::toTwipsX(double v) const {
    return userScale_ ? v * innerWidthTwips() / scaleWidth_ : v;
}
double Container::toTwipsY(double v) const {
    return userScale_ ? v * innerHeightTwips() / scaleHeight_ : v;
}
double Container::fromTwipsX(double t) const {
    return userScale_ ? t * scaleWidth_ / innerWidthTwips() : t;
}
double Container::fromTwipsY(double t) const {
    return userScale_ ? t * scaleHeight_ / innerHeightTwips() : t;
}

Label& Container::addLabel(const std::string& name, float left, float top, float width,
                           float height) {
    auto label = std::unique_ptr<Label>(new Label(
        this, name, static_cast<float>(fromTwipsX(left)), static_cast<float>(fromTwipsY(top)),
        static_cast<float>(fromTwipsX(width)), static_cast<float>(fromTwipsY(height))));
    Label& ref = *label;
    ownedLabels_.push_back(std::move(label));
    labelOrder_.push_back(&ref);
    repaintRect(ref.pixelRect());
    return ref;
}

Picture& Container::addPicture(const std::string& name, float left, float top, float width,
                               float height) {
    auto* p = new Picture(this, name, static_cast<float>(fromTwipsX(left)),
                          static_cast<float>(fromTwipsY(top)),
                          static_cast<float>(fromTwipsX(width)),
                          static_cast<float>(fromTwipsY(height)));
    // Each new picture goes behind the ones created before it.
    p->lower();
    pictureOrder_.push_back(p);
    return *p;
}

Control* Container::findControl(const std::string& name) const {
    for (Label* l : labelOrder_)
        if (l->name() == name)
            return l;
    for (Picture* p : pictureOrder_) {
        if (p->name() == name)
            return p;
        if (Control* c = p->findControl(name))
            return c;
    }
    return nullptr;
}

Label* Container::labelAt(QPoint inner) const {
    for (Label* l : labelOrder_)
        if (l->Visible() && l->pixelRect().contains(inner))
            return l;
    return nullptr;
}

std::string Container::receiverAt(QPoint pixel) const {
    for (Picture* p : pictureOrder_) {
        if (!p->Visible())
            continue;
        const QRect r = p->pixelRect();
        if (r.contains(pixel))
            return p->receiverAt(pixel - r.topLeft() - QPoint(p->borderPixels(), p->borderPixels()));
    }
    if (Label* l = labelAt(pixel))
        return l->name();
    return containerName_;
}

void Container::repaintRect(const QRect& innerRect) {
    update(innerRect.translated(borderPixels(), borderPixels()));
}

void Container::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    const QRegion& dirty = e->region();
    p.setClipRegion(dirty);
    const int b = borderPixels();
    const QRect inner = rect().adjusted(b, b, -b, -b);
    // The background shows only where an opaque picture does not cover it.
    QRegion background = dirty;
    if (!picture_.isNull() && !picture_.hasAlphaChannel())
        background -= QRect(QPoint(b, b), picture_.size()) & inner;
    const QColor back = toQColor(backColor_);
    for (const QRect& r : background)
        p.fillRect(r, back);
    if (b) {
        p.setPen(QColor(Qt::black));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setClipRect(inner, Qt::IntersectClip);
    }
    p.translate(b, b);
    if (!picture_.isNull())
        p.drawImage(QPoint(0, 0), picture_);
    const QRect area = dirty.boundingRect().translated(-b, -b);
    for (auto it = labelOrder_.rbegin(); it != labelOrder_.rend(); ++it)
        if ((*it)->Visible() && (*it)->paintedRect().intersects(area))
            (*it)->paint(p);
}

// Positions come from the global pointer position and where this widget is now: a window
// that was just moved may still get events placed relative to its old position.
QPointF Container::localPosition(const QMouseEvent* e) const {
    return mapFromGlobal(e->globalPosition());
}

MouseEventArgs Container::argsFor(const QMouseEvent* e, Label* target) const {
    return argsAt(localPosition(e), e->modifiers(), target);
}

MouseEventArgs Container::argsAt(QPointF local, Qt::KeyboardModifiers modifiers,
                                 Label* target) const {
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
    return QPoint(static_cast<int>(std::floor(p.x())) - border,
                  static_cast<int>(std::floor(p.y())) - border);
}
} // namespace

void Container::mousePressEvent(QMouseEvent* e) {
    if (!endLostPress(e, e->buttons() & ~e->button()))
        return;
    if (!pressed_) {
        pressed_ = true;
        pressedLabel_ = labelAt(innerPoint(localPosition(e), borderPixels()));
    }
    MouseEventArgs a = argsFor(e, pressedLabel_);
    a.Button = buttonBit(e->button());
    if (auto& h = handlersOf(*this, pressedLabel_).onMouseDown)
        h(a);
}

void Container::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

// A press whose release went elsewhere (a modal box that opened while the button was held
// takes it) is ended as a release would end it, without a click, once an event shows that no
// button of it is still held. False when the handler unloaded the window.
bool Container::endLostPress(QMouseEvent* e, Qt::MouseButtons stillHeld) {
    if (!pressed_ || stillHeld != Qt::NoButton)
        return true;
    Label* released = pressedLabel_;
    pressed_ = false;
    pressedLabel_ = nullptr;
    MouseEventArgs up = argsFor(e, released);
    up.Button = 0;
    QPointer<Container> alive(this);
    if (auto& h = handlersOf(*this, released).onMouseUp)
        h(up);
    return !alive.isNull();
}

bool Container::endPress() {
    if (!pressed_)
        return true;
    Label* released = pressedLabel_;
    pressed_ = false;
    pressedLabel_ = nullptr;
    MouseEventArgs up = argsAt(mapFromGlobal(QPointF(QCursor::pos())),
                               QGuiApplication::keyboardModifiers(), released);
    QPointer<Container> alive(this);
    if (auto& h = handlersOf(*this, released).onMouseUp)
        h(up);
    return !alive.isNull();
}

void Container::mouseMoveEvent(QMouseEvent* e) {
    if (!endLostPress(e, e->buttons()))
        return;
    Label* target = pressed_ ? pressedLabel_ : labelAt(innerPoint(localPosition(e), borderPixels()));
    MouseEventArgs a = argsFor(e, target);
    a.Button = buttonMask(e->buttons());
    if (auto& h = handlersOf(*this, target).onMouseMove)
        h(a);
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
    if (auto& h = handlersOf(*this, target).onMouseUp)
        h(a);
    if (!alive || !wasPressed)
        return;
    const QRect innerRect = rect().adjusted(0, 0, -2 * borderPixels(), -2 * borderPixels());
    const bool over = target ? target->pixelRect().contains(inner) : innerRect.contains(inner);
    if (over && e->buttons() == Qt::NoButton)
        if (auto& h = handlersOf(*this, target).onClick)
            h();
}

// ---- Picture ------------------------------------------------------------------------------

Picture::Picture(Container* container, const std::string& name, float left, float top,
                 float width, float height)
    : Container(container, name), Control(container, name, left, top, width, height) {
    place();
    QWidget::setVisible(true);
}

float Picture::designWidthTwips() const {
    return static_cast<float>(container() ? container()->toTwipsX(Control::Width()) : Control::Width());
}

float Picture::designHeightTwips() const {
    return static_cast<float>(container() ? container()->toTwipsY(Control::Height()) : Control::Height());
}

// The container's frame lies outside its inner area, so the child widget sits past it.
void Picture::place() {
    const int b = container() ? container()->borderPixels() : 0;
    setGeometry(pixelRect().translated(b, b));
}

void Picture::placementChanged(const QRect&) { place(); }

void Picture::visibilityChanged() { QWidget::setVisible(Control::Visible()); }

// ---- Form ---------------------------------------------------------------------------------

Form::Form(const std::string& name, float widthTwips, float heightTwips)
    : Container(nullptr, name, Qt::Window | Qt::FramelessWindowHint),
      widthTwips_(widthTwips), heightTwips_(heightTwips) {
    setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

float Form::Left() const { return pixelsToTwips(pos().x()); }
float Form::Top() const { return pixelsToTwips(pos().y()); }

void Form::Move(float left, float top) { move(twipsToPixels(left), twipsToPixels(top)); }

void Form::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
}

bool Form::canPlaceWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool Form::startSystemMove() {
    QWindow* w = windowHandle();
    if (!w || !w->startSystemMove())
        return false;
    // The compositor sends the release to nobody: Qt would go on sending every move and the
    // next press to the widget that had this press, so the first hover and click after a drag
    // would be lost. A release of our own ends the press in Qt and, through it, in the widget.
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    Qt::MouseButton button = Qt::LeftButton;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (held & b) {
            button = b;
            break;
        }
    const QPointF global = QCursor::pos();
    QMouseEvent release(QEvent::MouseButtonRelease, w->mapFromGlobal(global), global, button,
                        Qt::NoButton, QGuiApplication::keyboardModifiers());
    QPointer<Form> alive(this);
    handingOverPress = true;
    QCoreApplication::sendEvent(w, &release);
    handingOverPress = false;
    if (alive)
        endPress();
    return true;
}

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

} // namespace forms
