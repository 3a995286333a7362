// A window area that draws a background and a picture, paints its labels, holds pictures and
// routes pointer events with capture.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QWidget>

#include "forms/Control.h"
#include "forms/Label.h"

class QMouseEvent;
class QWindow;

namespace forms {

class Picture;

// A window area that draws a background colour and an optional picture, paints its labels
// and holds further pictures. Pointer events go to the front-most label under the pointer, else
// to the container itself; from a press to its release the pressed one receives every move and
// the release (also outside the window), and a release on the pressed control is a click.
class Container : public QWidget, public PointerHandlers {
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
    Picture& addPicture(const std::string& name, float left, float top, float width, float height);

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

    // What the container itself does on pointer events (those not taken by one of its labels).
    PointerHandlers& handlers() { return *this; }

protected:
    Container(QWidget* parent, std::string name, Qt::WindowFlags flags = {});
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    // Hands a release the compositor kept to the window's widgets: it ends the press held
    // there as a release would, but is no click.
    static void handOverRelease(QWindow* window, QMouseEvent& release);
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

} // namespace forms
