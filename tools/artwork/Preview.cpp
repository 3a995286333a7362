// Review sheets for the eye: the label font at 4x, and the NFO text laid over its background.
#include "Artwork.h"

#include "BitmapFont.h"

#include <QPainter>

namespace artgen {

void drawBitmapText(QImage& image, int x, int y, const QByteArray& text, QRgb colour) {
    int column = 0;
    int line = 0;
    for (char ch : text) {
        if (ch == '\r') continue;
        if (ch == '\n') {
            ++line;
            column = 0;
            continue;
        }
        const forms::Glyph& glyph = forms::glyphFor(static_cast<unsigned char>(ch));
        for (int row = 0; row < forms::kGlyphHeight; ++row) {
            for (int col = 0; col < forms::kGlyphWidth; ++col) {
                if (!(glyph[static_cast<std::size_t>(row)] & (1u << (5 - col)))) continue;
                const int px = x + column * forms::kGlyphWidth + col;
                const int py = y + line * forms::kGlyphHeight + row;
                if (image.rect().contains(px, py)) image.setPixel(px, py, colour);
            }
        }
        ++column;
    }
}

QImage makeFontPreview() {
    const QByteArray samples[] = {"Track Number", "Track Time", "Time Elapsed", "CPU Usage", "-- ModList --",
        "Harbour of Glass", "Velsmoor, Part I [Orvantis]", "Papa Was A Lamp Lighter",
        "The quick brown fox jumps over the lazy dog 0123456789",
        "Kon ichi wa! (c) 2003 <flicker> /Gliding Past Noon/ 1:23 12.345%"};
    QImage sheet(4 + 64 * 6 + 8, 8 + 6 * 12 + 8 + 10 * 10, QImage::Format_RGB32);
    sheet.fill(qRgb(60, 30, 8));
    for (int c = 0x20; c <= 0x7E; ++c) {
        const int index = c - 0x20;
        const int x = 4 + (index % 16) * 8;
        const int y = 4 + (index / 16) * 12;
        QPainter(&sheet).fillRect(x, y, 6, 8, qRgb(90, 45, 12));
        drawBitmapText(sheet, x, y, QByteArray(1, static_cast<char>(c)), qRgb(255, 255, 255));
    }
    int y = 4 + 6 * 12 + 8;
    for (const QByteArray& s : samples) {
        drawBitmapText(sheet, 5, y + 1, s, qRgb(0, 0, 0));
        drawBitmapText(sheet, 4, y, s, qRgb(255, 255, 255));
        y += 10;
    }
    return sheet.scaled(sheet.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage makeNfoPreview(const QByteArray& text, const QImage& background) {
    // The window: black, 551 x 604, the picture box at 3, 4 with a one-pixel frame, the text
    // 8 pixels into the box and its shadow 2 right and 3 down of it.
    QImage window(551, 604, QImage::Format_RGB32);
    window.fill(Qt::black);
    QPainter painter(&window);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(3, 4, 544, 576);
    painter.drawImage(QPoint(4, 5), background, QRect(0, 0, 543, 575));
    painter.end();
    drawBitmapText(window, 4 + 10, 5 + 11, text, qRgb(0, 0, 0));
    drawBitmapText(window, 4 + 8, 5 + 8, text, qRgb(255, 255, 255));
    drawBitmapText(window, 502, 587, "Close", qRgb(255, 255, 255));
    return window;
}

QImage makeSkinPreview(const QImage& skin, const std::vector<QImage>& buttons) {
    // The main window at start-up: 520 x 498 of the skin, buttons on their plates (Info and
    // Exit at rest), the read-out block, the tune list with its marker, the title and message.
    QImage window = skin.copy(0, 0, 520, 498).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&window);
    const int plateX[6] = {246, 290, 333, 383, 427, 471};
    for (int i = 0; i < 6; ++i) painter.drawImage(plateX[i], 453, buttons[static_cast<std::size_t>(i)]);
    painter.end();
    const QByteArray legend = "Track Number\r\nTrack Time\r\nTime Elapsed\r\nCPU Usage";
    drawBitmapText(window, 10, 442, legend, qRgb(0, 0, 0));
    drawBitmapText(window, 8, 440, legend, qRgb(192, 64, 0));
    const char* values[4] = {"01/17", "2:41", "0:07", "1.234"};
    for (int i = 0; i < 4; ++i) {
        drawBitmapText(window, 90, 441 + i * 8, values[i], qRgb(0, 0, 0));
        drawBitmapText(window, 88, 440 + i * 8, values[i], qRgb(192, 0, 0));
    }
    const char* titles[17] = {"Harbour of Glass", "Moonwalker Drift", "Quiet Engines", "Rust", "Low Orbit",
        "Tie your laces tight", "The Long Tide", "Undertow", "Poker Under Saturn", "Arrival: Far Shore",
        "The Evenings of Deimos", "/Gliding Past Noon/", "Iron Age Courier", "TheSongsOfMySleep", "<flicker>",
        "Papa Was A Lamp Lighter", "Ikkunanpesukone"};
    drawBitmapText(window, 258, 226, "-- ModList --", qRgb(0, 0, 0));
    drawBitmapText(window, 256, 224, "-- ModList --", qRgb(255, 255, 255));
    for (int k = 0; k < 17; ++k) {
        drawBitmapText(window, 258, 242 + k * 8, titles[k], qRgb(0, 0, 0));
        drawBitmapText(window, 256, 240 + k * 8, titles[k], qRgb(255, 255, 255));
    }
    drawBitmapText(window, 248, 240, "*", qRgb(255, 255, 255));
    drawBitmapText(window, 12, 6, "Drelkin - Velsmoor, Part I [Orvantis]", qRgb(255, 255, 255));
    QPainter(&window).fillRect(5, 482, 510, 13, Qt::black);
    const QByteArray message = "Greetings to everyone in the scene!";
    drawBitmapText(window, 5 + (510 - message.size() * 6) / 2, 484, message, qRgb(255, 255, 255));
    return window;
}

} // namespace artgen
