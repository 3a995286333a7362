#include "forms/Control.h"

#include "forms/Container.h"

namespace forms {

Control::Control(Container* container, std::string name, float left, float top, float width, float height)
    : container_(container), name_(std::move(name)), left_(left), top_(top), width_(width), height_(height) {}

QRect Control::pixelRect() const {
    if (!container_)
        return QRect(twipsToPixels(left_), twipsToPixels(top_), twipsToPixels(width_), twipsToPixels(height_));
    return QRect(twipsToPixels(container_->toTwipsX(left_)), twipsToPixels(container_->toTwipsY(top_)),
        twipsToPixels(container_->toTwipsX(width_)), twipsToPixels(container_->toTwipsY(height_)));
}

void Control::setLeft(float v) { Move(v, top_); }
void Control::setTop(float v) { Move(left_, v); }

void Control::Move(float left, float top) {
    if (left == left_ && top == top_) return;
    const QRect old = pixelRect();
    left_ = left;
    top_ = top;
    placementChanged(old);
}

void Control::setVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    visibilityChanged();
}

} // namespace forms
