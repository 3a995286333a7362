// The program icon: six images (32, 24, 16 pixels; 256 colours and 32-bit), checked with our
// own reading of the ICO header and with Qt's reader, plus the theme PNGs from 16 to 256 pixels.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <set>
#include <utility>

namespace {

QByteArray iconBytes() {
    QFile file(":/assets/icon.ico");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

std::uint32_t u16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}
std::uint32_t u32(const QByteArray& b, qsizetype at) { return u16(b, at) | u16(b, at + 2) << 16; }

struct Entry {
    int size, bitCount;
    std::uint32_t bytes, offset;
};

std::vector<Entry> directory(const QByteArray& ico) {
    std::vector<Entry> entries;
    for (qsizetype at = 6; ico.size() >= 6 && entries.size() < u16(ico, 4) && at + 16 <= ico.size(); at += 16) {
        const int w = static_cast<std::uint8_t>(ico[at]);
        entries.push_back({w == 0 ? 256 : w, static_cast<int>(u16(ico, at + 6)), u32(ico, at + 8), u32(ico, at + 12)});
    }
    return entries;
}

TEST(IconFile, SixImagesWhoseHeadersAgreeWithTheDirectory) {
    const QByteArray ico = iconBytes();
    ASSERT_GE(ico.size(), 6);
    EXPECT_EQ(u16(ico, 0), 0u);
    EXPECT_EQ(u16(ico, 2), 1u) << "type 1 is an icon";
    EXPECT_EQ(u16(ico, 4), 6u);
    std::set<std::pair<int, int>> kinds;
    for (const Entry& e : directory(ico)) {
        SCOPED_TRACE(std::to_string(e.size) + "/" + std::to_string(e.bitCount));
        kinds.insert({e.size, e.bitCount});
        ASSERT_LE(static_cast<qsizetype>(e.offset) + e.bytes, ico.size());
        ASSERT_GE(e.bytes, 40u);
        const qsizetype at = e.offset;
        EXPECT_EQ(u32(ico, at), 40u);
        EXPECT_EQ(u32(ico, at + 4), static_cast<std::uint32_t>(e.size));
        EXPECT_EQ(u32(ico, at + 8), static_cast<std::uint32_t>(2 * e.size)) << "colour bitmap and mask";
        EXPECT_EQ(u16(ico, at + 14), static_cast<std::uint32_t>(e.bitCount));
        EXPECT_EQ(u32(ico, at + 16), 0u) << "uncompressed";
        // Header, palette, colour rows and mask rows (rows padded to 4 bytes).
        const std::uint32_t palette = e.bitCount == 8 ? 256 * 4 : 0;
        const auto colourRow = static_cast<std::uint32_t>((e.size * e.bitCount / 8 + 3) / 4 * 4);
        const auto maskRow = static_cast<std::uint32_t>((e.size + 31) / 32 * 4);
        EXPECT_EQ(e.bytes, 40 + palette + static_cast<std::uint32_t>(e.size) * (colourRow + maskRow));
    }
    EXPECT_EQ(kinds, (std::set<std::pair<int, int>>{{32, 8}, {24, 8}, {16, 8}, {32, 32}, {24, 32}, {16, 32}}));
}

TEST(IconFile, QtReadsAllSixImages) {
    QByteArray ico = iconBytes();
    QBuffer buffer(&ico);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.imageCount(), 6);
    std::multiset<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << "image " << i << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.width(), image.height());
        sizes.insert(image.width());
        // Corners are transparent, the middle of the emblem is opaque.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "image " << i;
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255) << "image " << i;
    }
    EXPECT_EQ(sizes, (std::multiset<int>{16, 16, 24, 24, 32, 32}));
}

TEST(IconThemeImages, RgbaPngsMatchTheTrueColourIconImages) {
    const QByteArray ico = iconBytes();
    const auto byte = [&](qsizetype at) { return static_cast<std::uint8_t>(ico[at]); };
    for (int size : {16, 24, 32}) {
        const QImage png(QString(":/assets/icon-%1.png").arg(size));
        ASSERT_EQ(png.size(), QSize(size, size));
        EXPECT_TRUE(png.hasAlphaChannel());
        const QImage argb = png.convertToFormat(QImage::Format_ARGB32);
        int compared = 0;
        for (const Entry& e : directory(ico)) {
            if (e.size != size || e.bitCount != 32) continue;
            // Bottom-up BGRA rows after the 40-byte header.
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x, ++compared) {
                    const qsizetype at = e.offset + 40 + (static_cast<qsizetype>(size - 1 - y) * size + x) * 4;
                    ASSERT_EQ(qRgba(byte(at + 2), byte(at + 1), byte(at), byte(at + 3)), argb.pixel(x, y))
                        << size << " at " << x << "," << y;
                }
        }
        EXPECT_EQ(compared, size * size);
    }
}

// Each theme size is drawn at that size: its antialiased edge is a pixel or two wide whatever
// the size, where a copy blown up from a smaller size has an edge as wide as the factor (about
// 50 partly covered pixels per pixel of size for 32 blown up to 256, under 4 as drawn).
TEST(IconThemeImages, EverySizeIsDrawnCrispAtThatSize) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage png(QString(ASSETS_SOURCE_DIR "/icon-%1.png").arg(size));
        ASSERT_EQ(png.size(), QSize(size, size));
        const QImage argb = png.convertToFormat(QImage::Format_ARGB32);
        int partial = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) partial += qAlpha(argb.pixel(x, y)) > 0 && qAlpha(argb.pixel(x, y)) < 255;
        EXPECT_LE(partial, 6 * size) << "a blurred or blown-up edge";
        EXPECT_GE(partial, 2 * size) << "a jagged edge";
        EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(argb.pixel(size / 2, size / 2)), 255);
    }
}

} // namespace
