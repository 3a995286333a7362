// Twips, pixels and colour values as the window-system layer understands them.
#pragma once

#include <cmath>
#include <cstdint>

#include <QColor>

namespace forms {

inline constexpr float kTwipsPerPixel = 15.0f;

// Nearest whole pixel of a twips value (halves go up, also for negative values).
inline int twipsToPixels(double twips) { return static_cast<int>(std::floor(twips / kTwipsPerPixel + 0.5)); }

inline float pixelsToTwips(double pixels) { return static_cast<float>(pixels * kTwipsPerPixel); }

// Colours are 0x00BBGGRR values: red in the low byte.
using Colour = std::uint32_t;

inline QColor toQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

inline constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

} // namespace forms
