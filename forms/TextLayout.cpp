#include "forms/TextLayout.h"

namespace forms {

namespace {

std::vector<std::string> splitParagraphs(const std::string& text) {
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out.emplace_back();
        } else {
            out.back().push_back(c);
        }
    }
    return out;
}

bool hasInk(const std::string& s) { return s.find_first_not_of(' ') != std::string::npos; }

void wrapParagraph(const std::string& para, std::size_t cols, std::vector<std::string>& out) {
    std::string line;
    std::size_t i = 0;
    while (i < para.size()) {
        const bool blank = para[i] == ' ';
        std::size_t j = i;
        while (j < para.size() && (para[j] == ' ') == blank) ++j;
        const std::string token = para.substr(i, j - i);
        i = j;
        if (blank) {
            // Blanks that do not fit are dropped at the edge.
            if (line.size() < cols) line += token.substr(0, cols - line.size());
            continue;
        }
        if (line.size() + token.size() <= cols || !hasInk(line)) {
            line += token;
        } else {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out.push_back(line);
            line = token;
        }
    }
    out.push_back(line);
}

} // namespace

std::vector<std::string> layoutText(const std::string& text, int maxColumns) {
    std::vector<std::string> out;
    const std::size_t cols = maxColumns > 0 ? static_cast<std::size_t>(maxColumns) : 0;
    for (const std::string& para : splitParagraphs(text)) wrapParagraph(para, cols, out);
    return out;
}

} // namespace forms
