// The controls every window is built from: windowless labels, picture boxes (child windows
// that hold other controls) and borderless top-level forms, with twips geometry, pointer
// events with capture, and stacking in creation order.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QWidget>

#include "forms/Units.h"

namespace forms {

// Mouse buttons and shift state as pointer events report them.
enum : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

struct MouseEventArgs {
    int Button = 0;
    int Shift = 0;
    float X = 0; // in the receiving control's units
    float Y = 0;
};

using MouseHandler = std::function<void(const MouseEventArgs&)>;

// The events a control or window can handle; an empty handler means the event does nothing.
struct PointerHandlers {
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    MouseHandler onMouseUp;
    std::function<void()> onClick;
};

class Container;

// Something placed in a container. Left, Top, Width and Height are in the container's scale
// (twips unless the container carries a user-defined scale), held as 32-bit floats.
class Control : public PointerHandlers {
public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Container* container() const { return container_; }

    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    void setLeft(float v);
    void setTop(float v);
    void Move(float left, float top);

    bool Visible() const { return visible_; }
    void setVisible(bool on);

    // Where the control lies in its container's inner area, in pixels.
    QRect pixelRect() const;

protected:
    Control(Container* container, std::string name, float left, float top, float width,
            float height);
    virtual void placementChanged(const QRect& oldRect) = 0;
    virtual void visibilityChanged() = 0;

private:
    Container* container_;
    std::string name_;
    float left_, top_, width_, height_;
    bool visible_ = true;
};

// A windowless text element drawn by its container, in the one bitmap font.
class Label final : public Control {
public:
    enum class Align { Left, Center };

    const std::string& Caption() const { return caption_; }
    void setCaption(std::string text);
    Colour ForeColor() const { return foreColor_; }
    void setForeColor(Colour c);
    Colour BackColor() const { return backColor_; }
    void setBackColor(Colour c);
    bool Opaque() const { return opaque_; }
    void setOpaque(bool on);
    Align Alignment() const { return align_; }
    void setAlignment(Align a);

    // The lines as drawn: broken at line breaks, words wrapped at the right edge.
    std::vector<std::string> layoutLines() const;
    // The label's own pixels (transparent where nothing is drawn), at its pixel size.
    const QImage& image() const;
    void paint(class QPainter& painter) const;
    // The part of the container's inner area, in pixels, that painting the label can change.
    QRect paintedRect() const;

    // Told after the caption or the visibility changed: what assistive technology listens to.
    std::function<void()> onChanged;

private:
    friend class Container;
    Label(Container* container, std::string name, float left, float top, float width,
          float height);
    void placementChanged(const QRect& oldRect) override;
    void visibilityChanged() override;
    // Everything about the label's pixels may have changed.
    void invalidate();
    // Only the caption or the ink colour changed: the pixels outside the old and the new
    // character cells stay as they were.
    void invalidateInk(const QRect& oldInk);
    // Which pixels carry ink, laid out once per caption and size.
    void layoutInk() const;

    std::string caption_;
    Colour foreColor_ = 0x000000;
    Colour backColor_ = 0xFFFFFF;
    bool opaque_ = false;
    Align align_ = Align::Left;

    mutable bool inkValid_ = false;
    mutable QSize inkSize_;
    mutable std::vector<std::uint8_t> ink_; // one byte a pixel, 1 where a glyph is lit
    mutable QRect inkBounds_;               // the character cells drawn, in the label's pixels
    // The pixels for the last few ink colours, so a pulse draws each step only once.
    mutable std::deque<std::pair<Colour, QImage>> images_;
};

class Picture;

// A window area that draws a background colour and an optional picture, paints its labels
// and holds further pictures. Pointer events go to the front-most label under the pointer, else
// to the container itself; from a press to its release the pressed one receives every move and
// the release (also outside the window), and a release on the pressed control is a click.
class Container : public QWidget {
    Q_OBJECT
public:
    ~Container() override;

    const std::string& containerName() const { return containerName_; }

    Colour BackColor() const { return backColor_; }
    void setBackColor(Colour c);
    void setPicture(const QImage& image);
    const QImage& picture() const { return picture_; }
    // A one-pixel single-line frame around the inner area.
    void setFlatBorder(bool on);
    int borderPixels() const { return border_ ? 1 : 0; }

    // A user-defined scale: the inner area spans scaleWidth x scaleHeight units.
    void setScale(float scaleWidth, float scaleHeight);
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Size of the inner area in twips.
    float innerWidthTwips() const;
    float innerHeightTwips() const;
    // Conversions between this container's scale and twips of its inner area.
    double toTwipsX(double v) const;
    double toTwipsY(double v) const;
    double fromTwipsX(double twips) const;
    double fromTwipsY(double twips) const;

    // New controls, geometry given in twips of the inner area. Within one container, creation
    // order runs front to back; pictures always lie in front of labels.
    Label& addLabel(const std::string& name, float left, float top, float width, float height);
    Picture& addPicture(const std::string& name, float left, float top, float width,
                        float height);

    const std::vector<Label*>& labels() const { return labelOrder_; }
    const std::vector<Picture*>& pictures() const { return pictureOrder_; }
    // Any control of this container or below it, by name; nullptr when there is none.
    Control* findControl(const std::string& name) const;

    // The name of what receives a press at a point of this container's inner area, in pixels.
    std::string receiverAt(QPoint pixel) const;

    // Redraw the area of one label.
    void repaintRect(const QRect& innerRect);

    // Ends the press this container holds as its release would, without a click: for a press
    // whose release will never come here (the window goes away while the button is held).
    // False when a handler unloaded the window.
    bool endPress();

    virtual PointerHandlers& handlers() = 0;

protected:
    Container(QWidget* parent, std::string name, Qt::WindowFlags flags = {});
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    // Size of the inner area in twips when it is not derived from a control's size.
    virtual float designWidthTwips() const = 0;
    virtual float designHeightTwips() const = 0;

private:
    Label* labelAt(QPoint inner) const;
    QPointF localPosition(const QMouseEvent* e) const;
    MouseEventArgs argsFor(const QMouseEvent* e, Label* target) const;
    MouseEventArgs argsAt(QPointF local, Qt::KeyboardModifiers modifiers, Label* target) const;
    bool endLostPress(QMouseEvent* e, Qt::MouseButtons stillHeld);

    std::string containerName_;
    Colour backColor_ = 0x000000;
    QImage picture_;
    qint64 pictureSource_ = 0;
    bool border_ = false;
    bool userScale_ = false;
    float scaleWidth_ = 0, scaleHeight_ = 0;
    std::vector<std::unique_ptr<Label>> ownedLabels_;
    std::vector<Label*> labelOrder_;
    std::vector<Picture*> pictureOrder_;

    // Pointer capture: who got the press, until the release.
    bool pressed_ = false;
    Label* pressedLabel_ = nullptr;
};

// A picture box: a child window placed in its container.
class Picture final : public Container, public Control {
    Q_OBJECT
public:
    using Control::Move;
    using Control::setVisible;
    using Control::Visible;
    PointerHandlers& handlers() override { return *this; }

protected:
    float designWidthTwips() const override;
    float designHeightTwips() const override;

private:
    friend class Container;
    Picture(Container* container, const std::string& name, float left, float top, float width,
            float height);
    void place();
    void placementChanged(const QRect& oldRect) override;
    void visibilityChanged() override;
};

// A borderless top-level window whose client area is the whole window; its Left and Top are
// twips of the screen.
class Form : public Container, public PointerHandlers {
    Q_OBJECT
public:
    Form(const std::string& name, float widthTwips, float heightTwips);
    PointerHandlers& handlers() override { return *this; }

    float Left() const;
    float Top() const;
    void Move(float left, float top);
    void setCaption(const std::string& caption);
    // Where a program cannot place its own window (Wayland), the compositor's move takes over
    // the drag; returns false when it is not available. Once the compositor has it, the press
    // that started it ends here as its release would (the compositor keeps the release), so
    // the next hover and press go where the pointer is.
    bool startSystemMove();
    static bool canPlaceWindows();

protected:
    float designWidthTwips() const override { return widthTwips_; }
    float designHeightTwips() const override { return heightTwips_; }

private:
    float widthTwips_, heightTwips_;
};

// Handles pending window events before returning.
void DoEvents();

} // namespace forms
