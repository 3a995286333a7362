// The main window's skin: textured orange-brown plate, portrait band, logo, panels and plates.
#include "Artwork.h"
#include "LogoLetters.h"
#include "SkinGeometry.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <string>

namespace artgen {
namespace {

QColor mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
        static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
        static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The brushed, mottled orange-brown of the whole plate.
void paintTexture(QImage& image) {
    const ValueNoise mottle(0x5EED0001, 64);
    const ValueNoise brush(0x5EED0002, 64);
    Random grain(0x5EED0003);
    const QColor dark(34, 13, 3);
    const QColor mid(112, 50, 12);
    const QColor light(176, 88, 24);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double m = mottle.fractal(x, y, 90, 5);
            // Stretched noise gives the horizontal brush strokes.
            const double b = brush.fractal(x * 0.08, y * 1.2, 4, 3);
            // Light falls from the upper right, the corners sink into shadow.
            const double dx = (x - 400.0) / 520.0;
            const double dy = (y - 90.0) / 499.0;
            const double light_ = 1.0 - std::sqrt(dx * dx + dy * dy) * 1.1;
            double t = 0.15 + 0.55 * m + 0.25 * (b - 0.5) + 0.45 * light_;
            QColor c = t < 0.5 ? mix(dark, mid, t * 2) : mix(mid, light, (t - 0.5) * 2);
            const int g = static_cast<int>(grain.next() % 13) - 6;
            line[x] = qRgb(std::clamp(c.red() + g, 0, 255), std::clamp(c.green() + g / 2, 0, 255),
                std::clamp(c.blue() + g / 3, 0, 255));
        }
    }
}

// A sunken rectangle: shadowed top-left edge, lit bottom-right edge, dark even inside.
void sunkenPanel(QPainter& p, const QRect& r, const QColor& inside) {
    p.fillRect(r, inside);
    p.fillRect(QRect(r.left() - 2, r.top() - 2, r.width() + 4, 2), QColor(18, 6, 0));
    p.fillRect(QRect(r.left() - 2, r.top(), 2, r.height()), QColor(18, 6, 0));
    p.fillRect(QRect(r.left() - 2, r.bottom() + 1, r.width() + 4, 1), QColor(214, 130, 52));
    p.fillRect(QRect(r.right() + 1, r.top() - 2, 1, r.height() + 3), QColor(214, 130, 52));
}

// A darker, even field with a faint vertical gradient so text on it stays readable.
void displayPanel(QPainter& p, const QRect& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(40, 16, 4));
    g.setColorAt(1, QColor(26, 10, 2));
    p.fillRect(r, g);
    sunkenPanel(p, r.adjusted(0, 0, 0, 0), Qt::transparent);
    // Fine scan lines, too faint to disturb text.
    p.setPen(QColor(0, 0, 0, 40));
    for (int y = r.top() + 1; y < r.bottom(); y += 2) p.drawLine(r.left(), y, r.right(), y);
}

void paintBand(QPainter& p) {
    const QRect band = kPortraitBand;
    QLinearGradient g(band.topLeft(), band.bottomLeft());
    g.setColorAt(0.0, QColor(246, 214, 166));
    g.setColorAt(0.55, QColor(236, 186, 128));
    g.setColorAt(1.0, QColor(214, 142, 78));
    p.fillRect(band, g);
    // Soft light across the band's middle.
    QLinearGradient sheen(band.topLeft(), band.topRight());
    sheen.setColorAt(0.0, QColor(120, 50, 10, 90));
    sheen.setColorAt(0.3, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.7, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.0, QColor(120, 50, 10, 110));
    p.fillRect(band, sheen);
    // Edges: a dark rule and a thin bright rule beside it.
    p.fillRect(QRect(band.left() - 3, band.top(), 2, band.height()), QColor(20, 7, 1));
    p.fillRect(QRect(band.right() + 2, band.top(), 2, band.height()), QColor(20, 7, 1));
    p.fillRect(QRect(band.left() - 1, band.top(), 1, band.height()), QColor(250, 200, 130));
    p.fillRect(QRect(band.right() + 1, band.top(), 1, band.height()), QColor(250, 200, 130));
}

// A stylised portrait in poster tones: dark ink hair and dress, two skin tones, ink features.
void paintPortrait(QPainter& p) {
    const QColor ink(52, 20, 5);
    const QColor hairLight(110, 44, 10);
    const QColor skin(252, 226, 190);
    const QColor skinShade(226, 170, 118);
    const QColor lip(168, 46, 24);
    const QColor accent(214, 96, 20);
    p.setRenderHint(QPainter::Antialiasing, true);

    // A four-pointed star over the head.
    QPainterPath star;
    star.moveTo(186, 34);
    star.quadTo(188, 46, 198, 48);
    star.quadTo(188, 50, 186, 62);
    star.quadTo(184, 50, 174, 48);
    star.quadTo(184, 46, 186, 34);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawPath(star);

    // Halo behind the head.
    QRadialGradient halo(QPointF(186, 150), 64);
    halo.setColorAt(0.0, QColor(255, 246, 220, 230));
    halo.setColorAt(0.8, QColor(255, 222, 170, 120));
    halo.setColorAt(1.0, QColor(255, 222, 170, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(186, 150), 64, 64);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(accent, 2.5));
    p.drawEllipse(QPointF(186, 150), 60, 60);
    p.setPen(QPen(QColor(120, 50, 10), 1));
    p.drawEllipse(QPointF(186, 150), 54, 54);

    // Hair, back mass falling past the shoulders.
    QPainterPath hair;
    hair.moveTo(186, 84);
    hair.cubicTo(222, 82, 240, 116, 236, 160);
    hair.cubicTo(232, 206, 246, 250, 236, 300);
    hair.cubicTo(228, 330, 214, 344, 206, 352);
    hair.cubicTo(212, 318, 206, 286, 204, 250);
    hair.lineTo(166, 250);
    hair.cubicTo(160, 290, 150, 320, 140, 342);
    hair.cubicTo(132, 300, 142, 260, 138, 220);
    hair.cubicTo(132, 170, 138, 96, 186, 84);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(hair);
    p.setPen(QPen(hairLight, 1.0));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        QPainterPath strand;
        strand.moveTo(146 + i * 3, 150 + i * 10);
        strand.cubicTo(140 + i * 2, 210, 150 + i * 2, 260, 142 + i * 3, 320 - i * 12);
        p.drawPath(strand);
        QPainterPath right;
        right.moveTo(226 - i * 3, 150 + i * 10);
        right.cubicTo(232 - i * 2, 210, 226 - i * 2, 260, 230 - i * 3, 310 - i * 12);
        p.drawPath(right);
    }
    p.setPen(Qt::NoPen);

    // Neck.
    QPainterPath neck;
    neck.moveTo(174, 196);
    neck.lineTo(172, 250);
    neck.cubicTo(180, 258, 196, 258, 204, 250);
    neck.lineTo(200, 196);
    neck.closeSubpath();
    p.setBrush(skin);
    p.drawPath(neck);
    QPainterPath neckShade;
    neckShade.moveTo(174, 200);
    neckShade.cubicTo(184, 222, 196, 222, 200, 204);
    neckShade.lineTo(201, 226);
    neckShade.cubicTo(192, 236, 180, 232, 174, 222);
    neckShade.closeSubpath();
    p.setBrush(skinShade);
    p.drawPath(neckShade);

    // Dress with a high collar, ending in a rounded hem above the ornaments.
    QPainterPath dress;
    dress.moveTo(134, 356);
    dress.cubicTo(134, 292, 152, 262, 172, 250);
    dress.cubicTo(180, 262, 196, 262, 204, 250);
    dress.cubicTo(222, 262, 236, 292, 236, 356);
    dress.cubicTo(216, 372, 156, 372, 134, 356);
    dress.closeSubpath();
    p.setBrush(ink);
    p.drawPath(dress);
    p.setPen(QPen(accent, 1.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath hem;
    hem.moveTo(138, 350);
    hem.cubicTo(158, 364, 214, 364, 232, 350);
    p.drawPath(hem);
    p.setPen(QPen(accent, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(164, 236, 48, 30), 200 * 16, 140 * 16);
    p.setPen(QPen(hairLight, 1.5));
    p.drawLine(QPointF(188, 266), QPointF(188, 372));
    for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(192, 282 + i * 22), 1.6, 1.6);

    // Face, turned a little to the left.
    QPainterPath face;
    face.moveTo(160, 130);
    face.cubicTo(158, 100, 176, 92, 190, 93);
    face.cubicTo(208, 94, 216, 112, 214, 140);
    face.cubicTo(212, 170, 204, 196, 186, 208);
    face.cubicTo(176, 212, 168, 200, 164, 186);
    face.cubicTo(160, 170, 161, 150, 160, 130);
    p.setPen(Qt::NoPen);
    p.setBrush(skin);
    p.drawPath(face);
    // Shade on the far cheek and under the cheekbone.
    QPainterPath shade;
    shade.moveTo(200, 100);
    shade.cubicTo(214, 110, 216, 130, 214, 140);
    shade.cubicTo(212, 170, 204, 196, 186, 208);
    shade.cubicTo(196, 190, 204, 170, 203, 150);
    shade.cubicTo(202, 130, 204, 114, 200, 100);
    p.setBrush(skinShade);
    p.drawPath(shade);

    // Fringe sweeping across the forehead.
    QPainterPath fringe;
    fringe.moveTo(156, 150);
    fringe.cubicTo(150, 104, 172, 84, 196, 86);
    fringe.cubicTo(220, 88, 232, 112, 226, 150);
    fringe.cubicTo(220, 128, 212, 112, 198, 106);
    fringe.cubicTo(190, 116, 176, 122, 164, 124);
    fringe.cubicTo(162, 134, 160, 142, 156, 150);
    p.setBrush(ink);
    p.drawPath(fringe);
    p.setPen(QPen(hairLight, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(166, 90, 50, 40), 30 * 16, 110 * 16);
    p.drawArc(QRectF(160, 96, 60, 60), 60 * 16, 70 * 16);

    // Brows, eyes, nose and mouth.
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(166, 132, 18, 10), 20 * 16, 140 * 16);
    p.drawArc(QRectF(192, 132, 16, 10), 20 * 16, 140 * 16);
    for (const QPointF centre : {QPointF(175, 146), QPointF(200, 146)}) {
        QPainterPath eye;
        eye.moveTo(centre.x() - 8, centre.y());
        eye.quadTo(centre.x(), centre.y() - 6, centre.x() + 7, centre.y());
        eye.quadTo(centre.x(), centre.y() + 4, centre.x() - 8, centre.y());
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(eye);
        p.setBrush(QColor(255, 240, 220));
        p.drawEllipse(QPointF(centre.x() + 1.5, centre.y() - 1.5), 1.4, 1.4);
    }
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath nose;
    nose.moveTo(189, 150);
    nose.cubicTo(187, 160, 184, 168, 182, 172);
    nose.cubicTo(186, 175, 190, 175, 193, 172);
    p.drawPath(nose);
    QPainterPath mouth;
    mouth.moveTo(176, 186);
    mouth.cubicTo(182, 182, 186, 184, 188, 185);
    mouth.cubicTo(190, 184, 194, 182, 199, 186);
    mouth.cubicTo(192, 194, 182, 194, 176, 186);
    p.setPen(Qt::NoPen);
    p.setBrush(lip);
    p.drawPath(mouth);
    p.setPen(QPen(QColor(90, 20, 8), 1));
    p.drawLine(QPointF(177, 186), QPointF(198, 186));

    // Below the portrait: a column of diamonds and rules down the band.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double y = 392 + i * 12;
        const double r = 4.5 - i * 0.45;
        QPainterPath diamond;
        diamond.moveTo(186, y - r);
        diamond.lineTo(186 + r, y);
        diamond.lineTo(186, y + r);
        diamond.lineTo(186 - r, y);
        diamond.closeSubpath();
        p.setBrush(i % 2 ? accent : ink);
        p.drawPath(diamond);
    }
    p.setPen(QPen(ink, 1));
    p.drawLine(QPointF(150, 380), QPointF(222, 380));
    p.drawLine(QPointF(158, 384), QPointF(214, 384));
    p.setRenderHint(QPainter::Antialiasing, false);
}

// The group's name in the same slanted block letters as the NFO text, cast in bright metal.
void paintLogo(QPainter& p) {
    constexpr double kCellW = 3.0;
    constexpr double kCellH = 4.6;
    constexpr double kSlant = 0.32;
    const QPointF origin = kLogoOrigin;
    QPainterPath shape;
    double x = 0;
    for (const LogoLetter* letter : kLogoWord) {
        const int width = static_cast<int>(std::string(letter->rows[0]).size());
        for (int r = 0; r < kLogoRows; ++r) {
            for (int c = 0; c < width; ++c) {
                if (letter->rows[r][c] != '#') continue;
                // One cell, sheared so each row down starts further left.
                const double top = origin.y() + r * kCellH;
                const double left = origin.x() + (x + c) * kCellW + (kLogoRows - r) * kCellH * kSlant;
                QPainterPath cell;
                cell.moveTo(left, top);
                cell.lineTo(left + kCellW, top);
                cell.lineTo(left + kCellW - kCellH * kSlant, top + kCellH);
                cell.lineTo(left - kCellH * kSlant, top + kCellH);
                cell.closeSubpath();
                shape.addPath(cell);
            }
        }
        x += width + 2;
    }
    shape = shape.simplified();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawPath(shape.translated(4, 4));
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawPath(shape.translated(2, 2));
    const QRectF bounds = shape.boundingRect();
    QLinearGradient metal(bounds.topLeft(), bounds.bottomLeft());
    metal.setColorAt(0.0, QColor(255, 250, 230));
    metal.setColorAt(0.45, QColor(255, 206, 120));
    metal.setColorAt(0.5, QColor(220, 120, 30));
    metal.setColorAt(1.0, QColor(255, 170, 70));
    p.setBrush(metal);
    p.setPen(QPen(QColor(40, 12, 0), 1.2));
    p.drawPath(shape);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void paintPlates(QPainter& p) {
    // A dark rail under the buttons, with each plate set into it.
    const QRect rail(kButtonPlates[0].left() - 5, kButtonPlates[0].top() - 4,
        kButtonPlates[5].right() - kButtonPlates[0].left() + 11, kButtonPlates[0].height() + 8);
    sunkenPanel(p, rail, QColor(30, 11, 2));
    for (const QRect& plate : kButtonPlates) {
        p.fillRect(plate.adjusted(-1, -1, 1, 1), QColor(150, 150, 150));
        p.fillRect(plate, Qt::white);
    }
}

void paintDetails(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    // Thin rules leading from the logo to the right edge and under the title strip.
    p.setPen(QPen(QColor(232, 150, 60, 200), 1));
    p.drawLine(QPointF(250, 26.5), QPointF(514, 26.5));
    p.setPen(QPen(QColor(20, 6, 0, 200), 1));
    p.drawLine(QPointF(250, 27.5), QPointF(514, 27.5));
    p.setPen(QPen(QColor(232, 150, 60, 200), 1));
    p.drawLine(QPointF(268, 126.5), QPointF(510, 126.5));
    p.setPen(QPen(QColor(20, 6, 0, 200), 1));
    p.drawLine(QPointF(268, 127.5), QPointF(510, 127.5));
    // Rivets in the corners of the plate.
    for (const QPointF c : {QPointF(12, 32), QPointF(508, 32), QPointF(12, 424), QPointF(508, 424), QPointF(254, 138),
             QPointF(454, 138)}) {
        QRadialGradient g(c - QPointF(1, 1), 4);
        g.setColorAt(0, QColor(255, 220, 160));
        g.setColorAt(1, QColor(90, 36, 6));
        p.setPen(QPen(QColor(16, 5, 0), 1));
        p.setBrush(g);
        p.drawEllipse(c, 3.5, 3.5);
    }
    // Diagonal sweeps across the left field.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        QPainterPath sweep;
        const double x0 = -40 + i * 22;
        sweep.moveTo(x0, 430);
        sweep.lineTo(x0 + 120, 40);
        sweep.lineTo(x0 + 126, 40);
        sweep.lineTo(x0 + 6, 430);
        sweep.closeSubpath();
        p.setBrush(QColor(255, 190, 110, 18 + i * 4));
        p.drawPath(sweep);
    }
    // A spectrum of bars in the left field, bright at the top of each bar.
    Random levels(0x5EED0004);
    for (int i = 0; i < 14; ++i) {
        const double h = 24 + std::sin(i * 0.55 + 0.6) * 18 + levels.unit() * 26 + (i < 7 ? i * 4 : (13 - i) * 4);
        const QRectF bar(18 + i * 7.5, 414 - h, 5, h);
        QLinearGradient g(bar.topLeft(), bar.bottomLeft());
        g.setColorAt(0, QColor(255, 214, 140, 220));
        g.setColorAt(0.25, QColor(234, 128, 34, 200));
        g.setColorAt(1, QColor(120, 40, 6, 120));
        p.setBrush(g);
        p.drawRect(bar);
        p.setBrush(QColor(255, 236, 200, 230));
        p.drawRect(QRectF(bar.left(), bar.top() - 5, 5, 2));
    }
    p.setBrush(QColor(20, 6, 0, 180));
    p.drawRect(QRectF(14, 416, 112, 2));
    // A trace of a waveform between the logo and the tune list.
    QPainterPath wave;
    for (int x = 262; x <= 506; ++x) {
        const double t = (x - 262) / 244.0;
        const double envelope = std::sin(t * 3.14159265);
        const double y = 172 + envelope * (std::sin(t * 41.0) * 16 + std::sin(t * 97.0 + 1.0) * 6);
        if (x == 262) wave.moveTo(x, y);
        else wave.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 6, 0, 160), 3));
    p.drawPath(wave.translated(1, 2));
    p.setPen(QPen(QColor(255, 196, 110), 1.4));
    p.drawPath(wave);
    p.setPen(QPen(QColor(232, 150, 60, 120), 1));
    p.drawLine(QPointF(262, 172.5), QPointF(506, 172.5));
    p.setPen(Qt::NoPen);

    // Small caption marks beside the tune list.
    p.setBrush(QColor(232, 150, 60));
    for (int i = 0; i < 9; ++i) p.drawRect(QRectF(474, 230 + i * 18, 6 - (i % 3) * 2, 2));
    p.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace

QImage makeSkin() {
    QImage image(kSkinSize, QImage::Format_RGB32);
    paintTexture(image);
    QPainter p(&image);
    // Whole-plate bevel: lit top-left, dark bottom-right.
    p.fillRect(QRect(0, 0, image.width(), 1), QColor(230, 150, 70));
    p.fillRect(QRect(0, 0, 1, image.height()), QColor(230, 150, 70));
    p.fillRect(QRect(image.width() - 2, 0, 2, image.height()), QColor(16, 5, 0));
    p.fillRect(QRect(0, image.height() - 2, image.width(), 2), QColor(16, 5, 0));

    paintDetails(p);
    paintBand(p);
    paintPortrait(p);
    paintLogo(p);
    displayPanel(p, kTuneListPanel);
    displayPanel(p, kReadOutPanel);
    paintPlates(p);
    p.fillRect(kTitleStrip, Qt::black);
    p.fillRect(kMessageLine, Qt::black);
    p.end();
    return image;
}

} // namespace artgen
