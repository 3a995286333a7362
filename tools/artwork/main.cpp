// artgen: draws every picture and text asset of the program from code.
//
// Usage:
//   artgen --out DIR             write all assets into DIR (the repository's assets/ folder)
//   artgen --font-preview FILE   write a 4x sheet of the label font with sample lines
//   artgen --nfo-preview FILE    write the NFO window's text over its background, as shown
//   artgen --skin-preview FILE   write the main window's look at start-up, with sample texts
//
// The build target `artwork` runs `artgen --out` on the source tree's assets/; run it by hand
// after changing a drawing here and commit the result. Every run writes the same bytes: the
// textures come from seeded noise and nothing depends on installed fonts, time or locale.
#include "Artwork.h"
#include "SkinGeometry.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

struct ButtonSpec {
    const char* name;
    const char* word;
    int width;
};

// Button sizes match the plates of the skin (all 19 pixels high).
constexpr ButtonSpec kButtons[] = {
    {"btnPrev", "prev", 34},
    {"btnPlay", "play", 33},
    {"btnNext", "next", 40},
    {"btnStop", "stop", 34},
    {"btnInfo", "info", 34},
    {"btnExit", "exit", 37},
};

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writePng(const QString& path, const QImage& image) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Pictures shown by the program are opaque 24-bit images.
QImage opaque(const QImage& image) { return image.convertToFormat(QImage::Format_RGB888); }

int writeAll(const QString& dirPath) {
    QDir dir(dirPath);
    if (!dir.exists() && !QDir().mkpath(dirPath)) {
        std::fprintf(stderr, "artgen: cannot create %s\n", qPrintable(dirPath));
        return 1;
    }
    const QImage skin = artgen::makeSkin();
    bool ok = writePng(dir.filePath("skin.png"), opaque(skin));
    ok = writePng(dir.filePath("cover.png"), opaque(skin.copy(artgen::kCover))) && ok;
    for (const ButtonSpec& b : kButtons) {
        ok = writePng(dir.filePath(QString("%1.png").arg(b.name)),
                 opaque(artgen::makeButton(b.word, b.width, 19, true))) &&
             ok;
        ok = writePng(dir.filePath(QString("%1_org.png").arg(b.name)),
                 opaque(artgen::makeButton(b.word, b.width, 19, false))) &&
             ok;
    }
    ok = writePng(dir.filePath("nfo_back.png"), opaque(artgen::makeNfoBackground())) && ok;
    std::vector<QImage> icons;
    for (int size : {32, 24, 16}) {
        icons.push_back(artgen::makeIconImage(size));
        ok = writePng(dir.filePath(QString("icon-%1.png").arg(size)), icons.back()) && ok;
    }
    ok = writeFile(dir.filePath("icon.ico"), artgen::makeIco(icons)) && ok;
    // The desktop's larger theme sizes, each drawn at its own size.
    for (int size : {48, 64, 128, 256})
        ok = writePng(dir.filePath(QString("icon-%1.png").arg(size)), artgen::makeIconImage(size)) && ok;
    ok = writeFile(dir.filePath("nfo.txt"), artgen::makeNfoText()) && ok;
    return ok ? 0 : 1;
}

int usage() {
    std::fprintf(stderr, "usage: artgen --out DIR | --font-preview FILE | --nfo-preview FILE | --skin-preview FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return usage();
    const QString target = QString::fromLocal8Bit(argv[2]);
    if (std::strcmp(argv[1], "--out") == 0) return writeAll(target);
    if (std::strcmp(argv[1], "--font-preview") == 0) return writePng(target, artgen::makeFontPreview()) ? 0 : 1;
    if (std::strcmp(argv[1], "--nfo-preview") == 0)
        return writePng(target, artgen::makeNfoPreview(artgen::makeNfoText(), artgen::makeNfoBackground())) ? 0 : 1;
    if (std::strcmp(argv[1], "--skin-preview") == 0) {
        std::vector<QImage> buttons;
        for (const ButtonSpec& b : kButtons) {
            const bool lit = std::strcmp(b.word, "info") != 0 && std::strcmp(b.word, "exit") != 0;
            buttons.push_back(artgen::makeButton(b.word, b.width, 19, lit));
        }
        return writePng(target, artgen::makeSkinPreview(artgen::makeSkin(), buttons)) ? 0 : 1;
    }
    return usage();
}
