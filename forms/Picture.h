// A picture box: a child window placed in its container as a control.
#pragma once

#include <string>

#include "forms/Container.h"

namespace forms {

// A picture box: a child window placed in its container. Its place and its own visibility are
// a control of the container (what findControl gives for it); the window follows them.
class Picture final : public Container {
    Q_OBJECT
public:
    const std::string& name() const { return placement_.name(); }
    Container* container() const { return placement_.container(); }
    Control& control() { return placement_; }
    const Control& control() const { return placement_; }

    float Left() const { return placement_.Left(); }
    float Top() const { return placement_.Top(); }
    float Width() const { return placement_.Width(); }
    float Height() const { return placement_.Height(); }
    void setLeft(float v) { placement_.setLeft(v); }
    void setTop(float v) { placement_.setTop(v); }
    void Move(float left, float top) { placement_.Move(left, top); }
    QRect pixelRect() const { return placement_.pixelRect(); }

    // The picture's own visibility, whatever its container shows. Hiding or showing the
    // window by any way Qt offers goes through here, so the two never disagree.
    bool Visible() const { return placement_.Visible(); }
    void setVisible(bool on) override { placement_.setVisible(on); }

protected:
    float designWidthTwips() const override;
    float designHeightTwips() const override;

private:
    friend class Container;
    // The picture's geometry as a control; its pointer handlers go unused, the picture's
    // own are those of its container side.
    class Placement final : public Control {
    public:
        Placement(Picture& picture, Container* container, const std::string& name, float left, float top, float width,
            float height)
            : Control(container, name, left, top, width, height), picture_(picture) {}

    private:
        void placementChanged(const QRect&) override { picture_.place(); }
        void visibilityChanged() override { picture_.showAsPlaced(); }
        Picture& picture_;
    };

    Picture(Container* container, const std::string& name, float left, float top, float width, float height);
    void place();
    void showAsPlaced();

    Placement placement_;
};

} // namespace forms
