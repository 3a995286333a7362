#include "effects/CpuText.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include <QLocale>
#include <QString>

#include "forms/BitmapFont.h"

namespace effects {

namespace {

constexpr std::size_t kDecimals = 3;

} // namespace

std::string formatCpuLoad(float load, const QLocale& locale) {
    if (!std::isfinite(load)) return locale.toString(static_cast<double>(load)).toStdString();

    // Round the shortest decimal form that reads back as this float, not its binary value:
    // 1.0005f is 1.000499963... in binary, yet a person reading 1.0005 expects 1.001.
    char buf[128];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(load), std::chars_format::fixed);
    const std::string_view shortest(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto dot = shortest.find('.');
    std::string whole(shortest.substr(0, dot));
    std::string fraction = dot == std::string_view::npos ? std::string() : std::string(shortest.substr(dot + 1));
    const bool roundUp = fraction.size() > kDecimals && fraction[kDecimals] >= '5';
    fraction.resize(kDecimals, '0');

    if (roundUp) {
        std::string digits = whole + fraction;
        auto i = digits.size();
        while (i > 0) {
            --i;
            if (digits[i] != '9') {
                ++digits[i];
                break;
            }
            digits[i] = '0';
            if (i == 0) digits.insert(digits.begin(), '1');
        }
        whole = digits.substr(0, digits.size() - kDecimals);
        fraction = digits.substr(digits.size() - kDecimals);
    }

    // A load that rounds to zero reads as zero, never as a negative zero.
    const bool negative = std::signbit(load) && (whole.find_first_not_of('0') != std::string::npos ||
                                                    fraction.find_first_not_of('0') != std::string::npos);
    // The read-out's font has ASCII only: a locale whose sign or separator it cannot draw (the
    // Arabic decimal separator U+066B, the Arabic letter mark before the minus) gets the plain
    // one, which its readers know from the ASCII digits anyway.
    const auto drawable = [](const QString& symbol, const char* plain) {
        const std::string utf8 = symbol.toStdString();
        return !utf8.empty() && forms::canDraw(utf8) ? utf8 : std::string(plain);
    };
    std::string text;
    if (negative) text += drawable(locale.negativeSign(), "-");
    text += whole;
    text += drawable(locale.decimalPoint(), ".");
    text += fraction;
    return text;
}

std::string formatCpuLoad(float load) { return formatCpuLoad(load, QLocale()); }

} // namespace effects
