#include "nfo/NfoReading.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace nfo {

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.emplace_back();
            ++i;
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

// Words have two letters or digits in a row; frames, fillers and underlines have none.
bool holdsWords(const std::string& s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        if (std::isalnum(static_cast<unsigned char>(s[i])) && std::isalnum(static_cast<unsigned char>(s[i + 1])))
            return true;
    return false;
}

struct Box {
    int firstLine = 0;
    int lastLine = -1;
    int left = 0;
    int right = 0;
    std::string text;
};

} // namespace

std::vector<forms::LabelPart> readingOf(const std::string& nfoText) {
    const std::vector<std::string> lines = splitLines(nfoText);
    const int count = static_cast<int>(lines.size());

    // The logo runs down to the top edge of the first box.
    auto opensBox = [](const std::string& line) {
        const std::size_t first = line.find_first_not_of(' ');
        return first != std::string::npos && line.compare(first, 2, "._") == 0;
    };
    int artEnd = 0;
    while (artEnd < count && !opensBox(lines[artEnd])) ++artEnd;
    if (artEnd == count) artEnd = 0;
    std::vector<forms::LabelPart> parts;
    int artTop = -1, artBottom = -1, artLeft = 0, artRight = 0;
    for (int y = 0; y < artEnd; ++y) {
        const std::size_t first = lines[y].find_first_not_of(' ');
        if (first == std::string::npos) continue;
        const int l = static_cast<int>(first);
        const int r = static_cast<int>(lines[y].find_last_not_of(' ')) + 1;
        if (artTop < 0) {
            artTop = y;
            artLeft = l;
            artRight = r;
        }
        artBottom = y;
        artLeft = std::min(artLeft, l);
        artRight = std::max(artRight, r);
    }
    if (artTop >= 0)
        parts.push_back({QRect(artLeft, artTop, artRight - artLeft, artBottom - artTop + 1), kLogoName, {}});

    // Boxes stand side by side: a piece of a line belongs to the box whose left edge (the bar
    // before it) is in the same column.
    std::map<int, std::size_t> boxAt; // left edge column -> index in boxes
    std::vector<Box> boxes;
    for (int y = artEnd; y < count; ++y) {
        const std::string& line = lines[y];
        std::size_t bar = line.find('|');
        while (bar != std::string::npos) {
            const std::size_t next = line.find('|', bar + 1);
            const std::size_t end = next == std::string::npos ? line.size() : next;
            const std::string piece = line.substr(bar + 1, end - bar - 1);
            if (holdsWords(piece)) {
                const int edge = static_cast<int>(bar);
                auto [it, fresh] = boxAt.emplace(edge, boxes.size());
                if (fresh) {
                    Box b;
                    b.firstLine = y;
                    b.left = static_cast<int>(end);
                    boxes.push_back(b);
                }
                Box& box = boxes[it->second];
                const std::size_t from = piece.find_first_not_of(' ');
                const std::size_t to = piece.find_last_not_of(' ') + 1;
                if (!box.text.empty()) box.text += y > box.lastLine + 1 ? "\n\n" : "\n";
                box.text += piece.substr(from, to - from);
                box.lastLine = y;
                box.left = std::min(box.left, edge + 1 + static_cast<int>(from));
                box.right = std::max(box.right, edge + 1 + static_cast<int>(to));
            }
            bar = next;
        }
    }
    for (const Box& b : boxes)
        parts.push_back({QRect(b.left, b.firstLine, b.right - b.left, b.lastLine - b.firstLine + 1), {}, b.text});
    return parts;
}

} // namespace nfo
