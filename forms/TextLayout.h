// How a label breaks its caption into lines: at CR LF (or a lone CR or LF), and by wrapping
// words that would pass the right edge.
#pragma once

#include <string>
#include <vector>

namespace forms {

// Lines of text for a label maxColumns character cells wide. Leading blanks of a line are
// kept; blanks where a line wraps are dropped; a word longer than a whole line stands on a
// line of its own and is cut off by the label's edge.
std::vector<std::string> layoutText(const std::string& text, int maxColumns);

} // namespace forms
