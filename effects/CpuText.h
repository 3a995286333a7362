// The CPU read-out's text: the load with three decimals in the user's number format.
#pragma once

#include <string>

class QLocale;

namespace effects {

// The pattern "0.000": at least one digit, exactly three decimals, rounded half away from zero
// on the value as written in decimal, the locale's decimal separator where the label font can
// draw it and "." where it cannot.
std::string formatCpuLoad(float load, const QLocale& locale);
// The same in the user's locale (QLocale's default).
std::string formatCpuLoad(float load);

} // namespace effects
