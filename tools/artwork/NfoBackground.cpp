// The NFO window's background: a dark diagonal gradient with darker alternate scan lines.
#include "Artwork.h"

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

struct Stop {
    double at;
    double r, g, b;
};

// Lower left to upper right: dark orange, dark red, near-black violet.
constexpr Stop kStops[] = {
    {0.00, 116, 56, 0},
    {0.30, 104, 30, 4},
    {0.55, 72, 12, 10},
    {0.80, 36, 8, 16},
    {1.00, 17, 10, 16},
};

// Darker rows keep about four fifths of the brightness of the rows between them.
constexpr double kScanLine = 0.8;

} // namespace

QImage makeNfoBackground() {
    constexpr int kWidth = 800;
    constexpr int kHeight = 600;
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    for (int y = 0; y < kHeight; ++y) {
        uchar* line = image.scanLine(y);
        const double shade = (y % 2 == 0) ? kScanLine : 1.0;
        for (int x = 0; x < kWidth; ++x) {
            const double t =
                0.5 * (static_cast<double>(x) / (kWidth - 1) + static_cast<double>(kHeight - 1 - y) / (kHeight - 1));
            const Stop* hi =
                std::find_if(std::begin(kStops) + 1, std::end(kStops) - 1, [t](const Stop& s) { return s.at >= t; });
            const Stop* lo = hi - 1;
            const double f = (t - lo->at) / (hi->at - lo->at);
            const double rgb[3] = {lo->r + (hi->r - lo->r) * f, lo->g + (hi->g - lo->g) * f,
                lo->b + (hi->b - lo->b) * f};
            for (int c = 0; c < 3; ++c)
                line[x * 3 + c] = static_cast<uchar>(std::lround(std::clamp(rgb[c] * shade, 0.0, 255.0)));
        }
    }
    return image;
}

} // namespace artgen
