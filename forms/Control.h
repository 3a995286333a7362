// Something placed in a container, with its geometry in the container's scale, and the pointer
// events every control and window can handle.
#pragma once

#include <functional>
#include <string>

#include <QRect>

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
    Control(Container* container, std::string name, float left, float top, float width, float height);
    virtual void placementChanged(const QRect& oldRect) = 0;
    virtual void visibilityChanged() = 0;

private:
    Container* container_;
    std::string name_;
    float left_, top_, width_, height_;
    bool visible_ = true;
};

} // namespace forms
