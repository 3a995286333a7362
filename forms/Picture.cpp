#include "forms/Picture.h"

namespace forms {

Picture::Picture(Container* container, const std::string& name, float left, float top, float width, float height)
    : Container(container, name), placement_(*this, container, name, left, top, width, height) {
    place();
    QWidget::setVisible(true);
}

float Picture::designWidthTwips() const {
    return static_cast<float>(container() ? container()->toTwipsX(Width()) : Width());
}

float Picture::designHeightTwips() const {
    return static_cast<float>(container() ? container()->toTwipsY(Height()) : Height());
}

// The container's frame lies outside its inner area, so the child widget sits past it.
void Picture::place() {
    const int b = container() ? container()->borderPixels() : 0;
    setGeometry(pixelRect().translated(b, b));
}

void Picture::showAsPlaced() { QWidget::setVisible(Visible()); }

} // namespace forms
