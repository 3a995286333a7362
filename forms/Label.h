// A windowless text element in the bitmap font, with the pixels of its last few ink colours.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QImage>

#include "forms/Control.h"

class QPainter;

namespace forms {

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
    void paint(QPainter& painter) const;
    // The part of the container's inner area, in pixels, that painting the label can change.
    QRect paintedRect() const;

    // Told after the caption or the visibility changed: what assistive technology listens to.
    std::function<void()> onChanged;

private:
    friend class Container;
    Label(Container* container, std::string name, float left, float top, float width, float height);
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

} // namespace forms
