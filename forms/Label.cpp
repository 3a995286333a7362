#include "forms/Label.h"

#include <algorithm>

#include <QPainter>

#include "forms/BitmapFont.h"
#include "forms/Container.h"
#include "forms/TextLayout.h"

namespace forms {

Label::Label(Container* container, std::string name, float left, float top, float width, float height)
    : Control(container, std::move(name), left, top, width, height) {}

namespace {
// A pulse visits six colours; a fade between two messages about ten.
constexpr std::size_t kKeptImages = 12;
} // namespace

void Label::invalidate() {
    inkValid_ = false;
    images_.clear();
    if (container() && Visible()) container()->repaintRect(pixelRect());
}

void Label::invalidateInk(const QRect& oldInk) {
    if (!container() || !Visible()) return;
    layoutInk();
    const QRect changed = oldInk.united(inkBounds_);
    if (!changed.isEmpty()) container()->repaintRect(changed.translated(pixelRect().topLeft()));
}

void Label::setCaption(std::string text) {
    if (text == caption_) return;
    layoutInk();
    const QRect oldInk = inkBounds_;
    caption_ = std::move(text);
    inkValid_ = false;
    images_.clear();
    invalidateInk(oldInk);
    if (onChanged) onChanged();
}

void Label::setForeColor(Colour c) {
    if (c == foreColor_) return;
    foreColor_ = c;
    // The background and the layout stay: only lit pixels change.
    layoutInk();
    invalidateInk(inkBounds_);
}

void Label::setBackColor(Colour c) {
    if (c == backColor_) return;
    backColor_ = c;
    if (opaque_) invalidate();
}

void Label::setOpaque(bool on) {
    if (on == opaque_) return;
    opaque_ = on;
    invalidate();
}

void Label::setAlignment(Align a) {
    if (a == align_) return;
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
    if (container()) container()->repaintRect(pixelRect());
    if (onChanged) onChanged();
}

std::vector<std::string> Label::layoutLines() const { return layoutText(caption_, pixelRect().width() / kGlyphWidth); }

void Label::layoutInk() const {
    const QRect r = pixelRect();
    const QSize size(std::max(r.width(), 1), std::max(r.height(), 1));
    if (inkValid_ && inkSize_ == size) return;
    images_.clear();
    inkSize_ = size;
    ink_.assign(static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()), 0);
    inkBounds_ = QRect();
    const auto lines = layoutLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int y0 = static_cast<int>(i) * kGlyphHeight;
        if (y0 >= size.height()) break;
        const std::string cells = cellsFor(lines[i]);
        const int lineWidth = static_cast<int>(cells.size()) * kGlyphWidth;
        int x = 0;
        if (align_ == Align::Center) x = (r.width() - lineWidth) / 2;
        for (unsigned char ch : cells) {
            const Glyph& g = glyphFor(ch);
            const QRect cell = QRect(x, y0, kGlyphWidth, kGlyphHeight) & QRect(QPoint(0, 0), size);
            bool lit = false;
            for (int row = 0; row < kGlyphHeight; ++row) {
                const int y = y0 + row;
                if (y < 0 || y >= size.height()) continue;
                std::uint8_t* line = ink_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size.width());
                for (int col = 0; col < kGlyphWidth; ++col) {
                    const int px = x + col;
                    if (px >= 0 && px < size.width() && (g[row] >> (5 - col)) & 1) {
                        line[px] = 1;
                        lit = true;
                    }
                }
            }
            if (lit) inkBounds_ |= cell;
            x += kGlyphWidth;
        }
    }
    inkValid_ = true;
}

const QImage& Label::image() const {
    layoutInk();
    for (const auto& [colour, img] : images_)
        if (colour == foreColor_) return img;
    if (images_.size() >= kKeptImages) images_.pop_front();
    // An opaque label needs no alpha, so it is drawn as a plain copy.
    QImage img(inkSize_, opaque_ ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    img.fill(opaque_ ? toQColor(backColor_) : QColor(Qt::transparent));
    const QRgb ink = toQColor(foreColor_).rgba();
    const int w = inkSize_.width();
    for (int y = 0; y < inkSize_.height(); ++y) {
        const std::uint8_t* lit = ink_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (lit[x]) line[x] = ink;
    }
    images_.emplace_back(foreColor_, std::move(img));
    return images_.back().second;
}

QRect Label::paintedRect() const {
    if (opaque_) return pixelRect();
    layoutInk();
    return inkBounds_.translated(pixelRect().topLeft());
}

void Label::paint(QPainter& painter) const {
    if (!Visible()) return;
    painter.drawImage(pixelRect().topLeft(), image());
}

} // namespace forms
