// The pictures as the program loads them: sizes, 24-bit opaque formats, and the places on the
// skin that the window's controls rely on.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <cmath>

namespace {

QImage load(const QString& name)
{
    QImage image(":/assets/" + name);
    EXPECT_FALSE(image.isNull()) << "cannot load " << name.toStdString();
    return image;
}

// PNG colour type 2 at 8 bits is a 24-bit RGB picture without alpha.
void expectRgb24Png(const QString& name)
{
    QFile file(":/assets/" + name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QByteArray head = file.read(26);
    ASSERT_EQ(head.size(), 26);
    EXPECT_EQ(head.mid(1, 3), QByteArray("PNG")) << name.toStdString();
    EXPECT_EQ(static_cast<int>(head[24]), 8) << name.toStdString() << ": bit depth";
    EXPECT_EQ(static_cast<int>(head[25]), 2) << name.toStdString() << ": colour type";
}

double luminance(QRgb v) { return 0.299 * qRed(v) + 0.587 * qGreen(v) + 0.114 * qBlue(v); }

struct Stats {
    double mean;
    double deviation;
};

Stats statsOf(const QImage& image, const QRect& r)
{
    double sum = 0;
    double sum2 = 0;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const double l = luminance(image.pixel(x, y));
            sum += l;
            sum2 += l * l;
            ++n;
        }
    const double mean = sum / n;
    return {mean, std::sqrt(std::max(0.0, sum2 / n - mean * mean))};
}

struct ButtonCase {
    const char* name;
    QRect plate;
};

const ButtonCase kButtons[] = {
    {"btnPrev", QRect(246, 453, 34, 19)}, {"btnPlay", QRect(290, 453, 33, 19)}, {"btnNext", QRect(333, 453, 40, 19)},
    {"btnStop", QRect(383, 453, 34, 19)}, {"btnInfo", QRect(427, 453, 34, 19)}, {"btnExit", QRect(471, 453, 37, 19)},
};

TEST(SkinPicture, Is520By499OpaqueRgb)
{
    expectRgb24Png("skin.png");
    const QImage skin = load("skin.png");
    EXPECT_EQ(skin.size(), QSize(520, 499));
    EXPECT_FALSE(skin.hasAlphaChannel());
}

TEST(SkinPicture, PlatesAreWhiteExactlyUnderTheButtons)
{
    const QImage skin = load("skin.png");
    for (const ButtonCase& b : kButtons) {
        for (int y = b.plate.top(); y <= b.plate.bottom(); ++y)
            for (int x = b.plate.left(); x <= b.plate.right(); ++x)
                ASSERT_EQ(skin.pixel(x, y), qRgb(255, 255, 255)) << b.name << " at " << x << "," << y;
        // Just outside the plate the skin is no longer white, so the plate is not larger.
        for (const QPoint p : {QPoint(b.plate.left() - 1, b.plate.center().y()), QPoint(b.plate.right() + 1, b.plate.center().y()),
                               QPoint(b.plate.center().x(), b.plate.top() - 1), QPoint(b.plate.center().x(), b.plate.bottom() + 1)})
            EXPECT_NE(skin.pixel(p), qRgb(255, 255, 255)) << b.name << " at " << p.x() << "," << p.y();
    }
}

TEST(SkinPicture, TitleStripAndMessageLineAreBlack)
{
    const QImage skin = load("skin.png");
    for (const QRect r : {QRect(QPoint(4, 0), QPoint(517, 21)), QRect(QPoint(5, 482), QPoint(515, 495))})
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ASSERT_EQ(skin.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
}

TEST(SkinPicture, TextAreasAreDarkAndEven)
{
    // White and red label text must stay readable over the tune list and the read-out block.
    const QImage skin = load("skin.png");
    for (const QRect r : {QRect(QPoint(248, 224), QPoint(460, 395)), QRect(QPoint(8, 440), QPoint(130, 475))}) {
        const Stats s = statsOf(skin, r);
        EXPECT_LT(s.mean, 50) << "area at " << r.x() << "," << r.y();
        EXPECT_LT(s.deviation, 12) << "area at " << r.x() << "," << r.y();
    }
}

TEST(SkinPicture, LightBandLeftOfCentreAndDarkerPlateAround)
{
    const QImage skin = load("skin.png");
    const Stats band = statsOf(skin, QRect(QPoint(150, 26), QPoint(222, 70)));
    const Stats field = statsOf(skin, QRect(QPoint(20, 200), QPoint(110, 280)));
    EXPECT_GT(band.mean, 170);
    EXPECT_LT(field.mean, 130);
    EXPECT_GT(band.mean - field.mean, 60);
    // The plate is orange-brown: red dominates green, green dominates blue.
    const QRgb sample = skin.pixel(60, 250);
    EXPECT_GT(qRed(sample), qGreen(sample));
    EXPECT_GT(qGreen(sample), qBlue(sample));
}

TEST(ButtonPictures, SizesMatchPlatesAndAreOpaqueRgb)
{
    for (const ButtonCase& b : kButtons) {
        for (const QString suffix : {"", "_org"}) {
            const QString name = QString(b.name) + suffix + ".png";
            expectRgb24Png(name);
            const QImage image = load(name);
            EXPECT_EQ(image.size(), b.plate.size()) << name.toStdString();
            EXPECT_FALSE(image.hasAlphaChannel()) << name.toStdString();
        }
    }
}

TEST(ButtonPictures, LitLettersWhiteRestingGreyOnTheSameTexture)
{
    for (const ButtonCase& b : kButtons) {
        const QImage lit = load(QString(b.name) + ".png");
        const QImage rest = load(QString(b.name) + "_org.png");
        int white = 0;
        int grey = 0;
        for (int y = 0; y < lit.height(); ++y) {
            for (int x = 0; x < lit.width(); ++x) {
                const QRgb l = lit.pixel(x, y);
                const QRgb r = rest.pixel(x, y);
                EXPECT_NE(r, qRgb(255, 255, 255)) << b.name << "_org has white at " << x << "," << y;
                if (l == qRgb(255, 255, 255)) {
                    ++white;
                    // Where the lit letter is, the resting letter is grey (equal channels, mid level).
                    EXPECT_LT(std::abs(qRed(r) - qBlue(r)), 24) << b.name << " at " << x << "," << y;
                    EXPECT_GT(luminance(r), 100);
                    EXPECT_LT(luminance(r), 200);
                    ++grey;
                } else {
                    EXPECT_EQ(l, r) << b.name << ": background differs at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(white, 20) << b.name;
        EXPECT_EQ(grey, white) << b.name;
        // Letters stay inside the plate's bevel.
        for (int x = 0; x < lit.width(); ++x) {
            EXPECT_NE(lit.pixel(x, 0), qRgb(255, 255, 255));
            EXPECT_NE(lit.pixel(x, lit.height() - 1), qRgb(255, 255, 255));
        }
    }
}

TEST(NfoBackground, Is800By600OpaqueRgb)
{
    expectRgb24Png("nfo_back.png");
    const QImage back = load("nfo_back.png");
    EXPECT_EQ(back.size(), QSize(800, 600));
    EXPECT_FALSE(back.hasAlphaChannel());
}

TEST(NfoBackground, DiagonalFromDarkOrangeToNearBlackViolet)
{
    const QImage back = load("nfo_back.png");
    auto near = [](QRgb v, int r, int g, int b) { return std::abs(qRed(v) - r) <= 6 && std::abs(qGreen(v) - g) <= 6 && std::abs(qBlue(v) - b) <= 6; };
    // Row 599 and row 1 are undarkened rows.
    const QRgb lowerLeft = back.pixel(0, 599);
    const QRgb upperRight = back.pixel(799, 1);
    EXPECT_TRUE(near(lowerLeft, 116, 56, 0)) << qRed(lowerLeft) << "," << qGreen(lowerLeft) << "," << qBlue(lowerLeft);
    EXPECT_TRUE(near(upperRight, 17, 10, 16)) << qRed(upperRight) << "," << qGreen(upperRight) << "," << qBlue(upperRight);
    // Through dark red in the middle.
    const QRgb middle = back.pixel(400, 301);
    EXPECT_GT(qRed(middle), 2 * qGreen(middle));
    EXPECT_GT(qRed(middle), 2 * qBlue(middle));
    // Brightness falls along the diagonal from lower left to upper right.
    double previous = 1e9;
    for (int i = 0; i <= 10; ++i) {
        const int x = i * 79;
        const int y = 599 - 2 * ((i * 59) / 2);
        const double l = luminance(back.pixel(x, y));
        EXPECT_LE(l, previous + 0.5) << "step " << i;
        previous = l;
    }
}

TEST(NfoBackground, EverySecondRowFromTheTopIsAboutFourFifths)
{
    const QImage back = load("nfo_back.png");
    for (int y = 0; y < 598; y += 2) {
        for (int x : {0, 150, 399, 640, 799}) {
            const QRgb dark = back.pixel(x, y);
            const QRgb light = back.pixel(x, y + 1);
            const double ld = qRed(dark) + qGreen(dark) + qBlue(dark);
            const double ll = qRed(light) + qGreen(light) + qBlue(light);
            ASSERT_GT(ll, ld) << x << "," << y;
            ASSERT_NEAR(ld / ll, 0.8, 0.08) << x << "," << y;
        }
    }
}

} // namespace
