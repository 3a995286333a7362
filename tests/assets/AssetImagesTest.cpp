// The pictures as the program loads them: sizes, 24-bit opaque formats, and the places on the
// skin that the window's controls rely on.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <cmath>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

// Loads a picture and checks it is a PNG of colour type 2 at 8 bits (24-bit RGB, no alpha).
QImage loadRgb24(const QString& name, QSize size) {
    QFile file(":/assets/" + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QByteArray head = file.read(26);
    EXPECT_TRUE(head.size() == 26 && head.mid(1, 3) == "PNG" && head[24] == 8 && head[25] == 2)
        << name.toStdString() << " is not a 24-bit RGB PNG";
    const QImage image(":/assets/" + name);
    EXPECT_EQ(image.size(), size) << name.toStdString();
    EXPECT_FALSE(image.hasAlphaChannel()) << name.toStdString();
    return image;
}

double luminance(QRgb v) { return 0.299 * qRed(v) + 0.587 * qGreen(v) + 0.114 * qBlue(v); }

// Mean and standard deviation of the luminance over an area.
std::pair<double, double> statsOf(const QImage& image, const QRect& r) {
    double sum = 0, sum2 = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const double l = luminance(image.pixel(x, y));
            sum += l;
            sum2 += l * l;
        }
    const double n = static_cast<double>(r.width()) * r.height(), mean = sum / n;
    return {mean, std::sqrt(std::max(0.0, sum2 / n - mean * mean))};
}

const struct {
    const char* name;
    QRect plate;
} kButtons[] = {
    {"btnPrev", QRect(246, 453, 34, 19)},
    {"btnPlay", QRect(290, 453, 33, 19)},
    {"btnNext", QRect(333, 453, 40, 19)},
    {"btnStop", QRect(383, 453, 34, 19)},
    {"btnInfo", QRect(427, 453, 34, 19)},
    {"btnExit", QRect(471, 453, 37, 19)},
};

TEST(SkinPicture, PlatesTextAreasAndBands) {
    const QImage skin = loadRgb24("skin.png", QSize(520, 499));
    ASSERT_FALSE(skin.isNull());
    // Plates white exactly under the buttons: white inside, not white just outside.
    for (const auto& b : kButtons) {
        for (int y = b.plate.top(); y <= b.plate.bottom(); ++y)
            for (int x = b.plate.left(); x <= b.plate.right(); ++x)
                ASSERT_EQ(skin.pixel(x, y), kWhite) << b.name << " at " << x << "," << y;
        const QPoint c = b.plate.center();
        for (const QPoint p : {QPoint(b.plate.left() - 1, c.y()), QPoint(b.plate.right() + 1, c.y()),
                 QPoint(c.x(), b.plate.top() - 1), QPoint(c.x(), b.plate.bottom() + 1)})
            EXPECT_NE(skin.pixel(p), kWhite) << b.name << " at " << p.x() << "," << p.y();
    }
    // Title strip and message line black.
    for (const QRect r : {QRect(QPoint(4, 0), QPoint(517, 21)), QRect(QPoint(5, 482), QPoint(515, 495))})
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) ASSERT_EQ(skin.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    // White and red label text must stay readable over the tune list and the read-out block.
    for (const QRect r : {QRect(QPoint(248, 224), QPoint(460, 395)), QRect(QPoint(8, 440), QPoint(130, 475))}) {
        const auto [mean, deviation] = statsOf(skin, r);
        EXPECT_LT(mean, 50) << "area at " << r.x() << "," << r.y();
        EXPECT_LT(deviation, 12) << "area at " << r.x() << "," << r.y();
    }
    // A light band left of centre over a darker orange-brown plate.
    const double band = statsOf(skin, QRect(QPoint(150, 26), QPoint(222, 70))).first;
    const double field = statsOf(skin, QRect(QPoint(20, 200), QPoint(110, 280))).first;
    EXPECT_GT(band, 170);
    EXPECT_LT(field, 130);
    EXPECT_GT(band - field, 60);
    const QRgb sample = skin.pixel(60, 250);
    EXPECT_GT(qRed(sample), qGreen(sample));
    EXPECT_GT(qGreen(sample), qBlue(sample));
}

TEST(ButtonPictures, LitLettersWhiteRestingGreyOnTheSameTexture) {
    for (const auto& b : kButtons) {
        const QImage lit = loadRgb24(QString(b.name) + ".png", b.plate.size());
        const QImage rest = loadRgb24(QString(b.name) + "_org.png", b.plate.size());
        ASSERT_EQ(lit.size(), rest.size()) << b.name;
        int white = 0;
        for (int y = 0; y < lit.height(); ++y)
            for (int x = 0; x < lit.width(); ++x) {
                const QRgb l = lit.pixel(x, y), r = rest.pixel(x, y);
                EXPECT_NE(r, kWhite) << b.name << "_org has white at " << x << "," << y;
                if (l != kWhite) {
                    EXPECT_EQ(l, r) << b.name << ": background differs at " << x << "," << y;
                    continue;
                }
                ++white;
                // Where the lit letter is, the resting letter is grey (equal channels, mid level).
                EXPECT_LT(std::abs(qRed(r) - qBlue(r)), 24) << b.name << " at " << x << "," << y;
                EXPECT_TRUE(luminance(r) > 100 && luminance(r) < 200) << b.name << " at " << x << "," << y;
                // Letters stay inside the plate's bevel.
                EXPECT_TRUE(y > 0 && y < lit.height() - 1) << b.name << " at " << x << "," << y;
            }
        EXPECT_GT(white, 20) << b.name;
    }
}

TEST(NfoBackground, DiagonalGradientWithDarkerEvenRows) {
    const QImage back = loadRgb24("nfo_back.png", QSize(800, 600));
    ASSERT_FALSE(back.isNull());
    const auto expectNear = [](QRgb v, int r, int g, int b) {
        EXPECT_TRUE(std::abs(qRed(v) - r) <= 6 && std::abs(qGreen(v) - g) <= 6 && std::abs(qBlue(v) - b) <= 6)
            << qRed(v) << "," << qGreen(v) << "," << qBlue(v);
    };
    // Dark orange at the lower left, near-black violet at the upper right (rows 599 and 1 are undarkened).
    expectNear(back.pixel(0, 599), 116, 56, 0);
    expectNear(back.pixel(799, 1), 17, 10, 16);
    // Through dark red in the middle.
    const QRgb middle = back.pixel(400, 301);
    EXPECT_GT(qRed(middle), 2 * qGreen(middle));
    EXPECT_GT(qRed(middle), 2 * qBlue(middle));
    // Brightness falls along the diagonal from lower left to upper right.
    double previous = 1e9;
    for (int i = 0; i <= 10; ++i) {
        const double l = luminance(back.pixel(i * 79, 599 - 2 * ((i * 59) / 2)));
        EXPECT_LE(l, previous + 0.5) << "step " << i;
        previous = l;
    }
    // Every second row from the top about four fifths of the one below it.
    for (int y = 0; y < 598; y += 2)
        for (int x : {0, 150, 399, 640, 799}) {
            const QRgb dark = back.pixel(x, y), light = back.pixel(x, y + 1);
            const double ld = qRed(dark) + qGreen(dark) + qBlue(dark), ll = qRed(light) + qGreen(light) + qBlue(light);
            ASSERT_GT(ll, ld) << x << "," << y;
            ASSERT_NEAR(ld / ll, 0.8, 0.08) << x << "," << y;
        }
}

} // namespace
