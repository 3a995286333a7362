// The program icon: a bold slanted "D" on an orange disc, and the ICO container that holds it.
#include "Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <map>

namespace artgen {
namespace {

// Drawn large and averaged down, so small sizes keep clean antialiased edges without
// depending on the scaler's filter.
constexpr int kOversample = 8;

QImage drawEmblem(int size) {
    const int big = size * kOversample;
    QImage image(big, big, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(big / 32.0, big / 32.0);
    // Disc with a dark rim.
    QRadialGradient body(QPointF(12, 10), 22);
    body.setColorAt(0.0, QColor(255, 190, 96));
    body.setColorAt(0.6, QColor(214, 100, 20));
    body.setColorAt(1.0, QColor(120, 42, 4));
    p.setPen(QPen(QColor(34, 12, 2), 1.6));
    p.setBrush(body);
    p.drawEllipse(QPointF(16, 16), 14.8, 14.8);
    // From 48 pixels up there is room for a record's grooves: hairlines one output pixel wide,
    // as many as the size allows, so each size gets its own detail rather than a blown-up copy.
    if (size >= 48) {
        const double pixel = 32.0 / size;
        const int grooves = size / 24;
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < grooves; ++i) {
            const double r = 13.6 - i * (7.0 / grooves);
            p.setPen(QPen(QColor(90, 30, 0, 70), pixel));
            p.drawEllipse(QPointF(16, 16), r, r);
            p.setPen(QPen(QColor(255, 220, 160, 45), pixel));
            p.drawEllipse(QPointF(16, 16), r - pixel, r - pixel);
        }
        // The rim's highlight, up and to the left where the light comes from.
        p.setPen(QPen(QColor(255, 236, 200, 150), 1.5 * pixel, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(16 - 13.9, 16 - 13.9, 27.8, 27.8), 95 * 16, 70 * 16);
    }
    // A slanted "D": outer shape minus its counter.
    QPainterPath d;
    d.moveTo(10.5, 7);
    d.lineTo(18.5, 7);
    d.cubicTo(24.5, 7, 26.5, 11, 25.5, 16);
    d.cubicTo(24.5, 22, 20, 25, 15, 25);
    d.lineTo(6.5, 25);
    d.closeSubpath();
    QPainterPath counter;
    counter.moveTo(14.2, 11.2);
    counter.lineTo(18, 11.2);
    counter.cubicTo(20.6, 11.2, 21.4, 13.2, 20.9, 16);
    counter.cubicTo(20.3, 19, 18.2, 20.8, 15.5, 20.8);
    counter.lineTo(12.3, 20.8);
    counter.closeSubpath();
    const QPainterPath letter = d.subtracted(counter);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 12, 0, 170));
    p.drawPath(letter.translated(1.2, 1.2));
    p.setPen(QPen(QColor(40, 12, 0), 1.0));
    p.setBrush(QColor(255, 246, 226));
    p.drawPath(letter);
    p.end();

    // Box filter down to the final size, in premultiplied space.
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int sum[4] = {0, 0, 0, 0};
            for (int sy = 0; sy < kOversample; ++sy) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y * kOversample + sy));
                for (int sx = 0; sx < kOversample; ++sx) {
                    const QRgb v = line[x * kOversample + sx];
                    sum[0] += qRed(v);
                    sum[1] += qGreen(v);
                    sum[2] += qBlue(v);
                    sum[3] += qAlpha(v);
                }
            }
            const int n = kOversample * kOversample;
            out.setPixel(x, y,
                qRgba((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n, (sum[3] + n / 2) / n));
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32);
}

// --- The ICO container -------------------------------------------------------------------

void put16(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

void put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Pixels at or above half coverage count as opaque in the 256-colour images, which have
// only the one-bit mask for transparency.
bool opaqueEnough(QRgb v) { return qAlpha(v) >= 128; }

// Colour of a pixel for the palette image: partial coverage blended over the skin's dark brown.
QRgb flatten(QRgb v) {
    const int a = qAlpha(v);
    auto blend = [a](int c, int bg) { return (c * a + bg * (255 - a) + 127) / 255; };
    return qRgb(blend(qRed(v), 40), blend(qGreen(v), 16), blend(qBlue(v), 4));
}

// A median-cut palette of at most 256 colours for the given pixels.
std::vector<QRgb> medianCut(std::vector<QRgb> colours) {
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    if (colours.size() <= 256) return colours;
    std::vector<std::vector<QRgb>> boxes{colours};
    while (boxes.size() < 256) {
        // Split the box with the widest channel range at its median.
        std::size_t best = 0;
        int bestRange = -1;
        int bestChannel = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2) continue;
            for (int ch = 0; ch < 3; ++ch) {
                auto get = [ch](QRgb v) { return ch == 0 ? qRed(v) : ch == 1 ? qGreen(v) : qBlue(v); };
                const auto [lo, hi] = std::minmax_element(boxes[i].begin(), boxes[i].end(),
                    [&](QRgb a, QRgb b) { return get(a) < get(b); });
                const int range = get(*hi) - get(*lo);
                if (range > bestRange) {
                    bestRange = range;
                    best = i;
                    bestChannel = ch;
                }
            }
        }
        if (bestRange <= 0) break;
        std::vector<QRgb> box = std::move(boxes[best]);
        auto get = [bestChannel](QRgb v) {
            return bestChannel == 0 ? qRed(v) : bestChannel == 1 ? qGreen(v) : qBlue(v);
        };
        std::stable_sort(box.begin(), box.end(), [&](QRgb a, QRgb b) { return get(a) < get(b); });
        const auto middle = box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2);
        boxes[best] = std::vector<QRgb>(box.begin(), middle);
        boxes.emplace_back(middle, box.end());
    }
    std::vector<QRgb> palette;
    for (const auto& box : boxes) {
        long r = 0, g = 0, b = 0;
        for (QRgb v : box) {
            r += qRed(v);
            g += qGreen(v);
            b += qBlue(v);
        }
        const long n = static_cast<long>(box.size());
        palette.push_back(qRgb(static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
            static_cast<int>((b + n / 2) / n)));
    }
    return palette;
}

int nearest(const std::vector<QRgb>& palette, QRgb v) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(v);
        const int dg = qGreen(palette[i]) - qGreen(v);
        const int db = qBlue(palette[i]) - qBlue(v);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// The AND mask: one bit per pixel, set where the icon is transparent, rows padded to 32 bits.
QByteArray andMask(const QImage& image) {
    const int size = image.width();
    const int stride = ((size + 31) / 32) * 4;
    QByteArray mask;
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < size; ++x)
            if (!opaqueEnough(image.pixel(x, y))) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        mask += row;
    }
    return mask;
}

QByteArray infoHeader(int size, int bitCount, int coloursUsed, int imageBytes) {
    QByteArray h;
    put32(h, 40);
    put32(h, static_cast<std::uint32_t>(size));
    put32(h, static_cast<std::uint32_t>(size * 2)); // colour bitmap and mask, stacked
    put16(h, 1);
    put16(h, bitCount);
    put32(h, 0); // no compression
    put32(h, static_cast<std::uint32_t>(imageBytes));
    put32(h, 0);
    put32(h, 0);
    put32(h, static_cast<std::uint32_t>(coloursUsed));
    put32(h, 0);
    return h;
}

QByteArray paletteImage(const QImage& image) {
    const int size = image.width();
    std::vector<QRgb> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (opaqueEnough(image.pixel(x, y))) pixels.push_back(flatten(image.pixel(x, y)));
    std::vector<QRgb> palette = medianCut(pixels);
    palette.resize(256, qRgb(0, 0, 0));
    const int stride = ((size + 3) / 4) * 4;
    QByteArray bits;
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < size; ++x) {
            const QRgb v = image.pixel(x, y);
            row[x] = static_cast<char>(opaqueEnough(v) ? nearest(palette, flatten(v)) : 0);
        }
        bits += row;
    }
    const QByteArray mask = andMask(image);
    QByteArray out = infoHeader(size, 8, 256, static_cast<int>(bits.size() + mask.size()));
    for (QRgb c : palette) {
        out.append(static_cast<char>(qBlue(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qRed(c)));
        out.append('\0');
    }
    return out + bits + mask;
}

QByteArray trueColourImage(const QImage& image) {
    const int size = image.width();
    QByteArray bits;
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const QRgb v = image.pixel(x, y);
            bits.append(static_cast<char>(qBlue(v)));
            bits.append(static_cast<char>(qGreen(v)));
            bits.append(static_cast<char>(qRed(v)));
            bits.append(static_cast<char>(qAlpha(v)));
        }
    }
    const QByteArray mask = andMask(image);
    return infoHeader(size, 32, 0, static_cast<int>(bits.size() + mask.size())) + bits + mask;
}

} // namespace

QImage makeIconImage(int size) { return drawEmblem(size); }

QByteArray makeIco(const std::vector<QImage>& images) {
    struct Entry {
        int size;
        int bitCount;
        QByteArray data;
    };
    std::vector<Entry> entries;
    for (const QImage& image : images) entries.push_back({image.width(), 8, paletteImage(image)});
    for (const QImage& image : images) entries.push_back({image.width(), 32, trueColourImage(image)});

    QByteArray out;
    put16(out, 0);
    put16(out, 1); // icon resource
    put16(out, static_cast<int>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        out.append(static_cast<char>(e.size));
        out.append(static_cast<char>(e.size));
        out.append('\0'); // 0 = 256 colours or more
        out.append('\0');
        put16(out, 1);
        put16(out, e.bitCount);
        put32(out, static_cast<std::uint32_t>(e.data.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const Entry& e : entries) out += e.data;
    return out;
}

} // namespace artgen
