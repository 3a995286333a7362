// The block letters of "Drelkin", shared by the NFO text logo and the skin logo.
#pragma once

namespace artgen {

inline constexpr int kLogoRows = 11;

// Letters of the group's logo before slanting, one cell per character of the NFO text:
// 11 rows, '#' solid. The skin draws the same letters, so both logos agree.
struct LogoLetter {
    const char* rows[kLogoRows];
};

inline constexpr LogoLetter kD = {{"#########.", "###....###", "###....###", "###....###", "###....###", "###....###",
    "###....###", "###....###", "###....###", "###....###", "#########."}};
inline constexpr LogoLetter kR = {{"........", "........", "........", "........", "###.####", "########", "####....",
    "###.....", "###.....", "###.....", "###....."}};
inline constexpr LogoLetter kE = {{".........", ".........", ".........", ".........", "#########", "###...###",
    "###...###", "#########", "###......", "###......", "#########"}};
inline constexpr LogoLetter kL = {{"###", "###", "###", "###", "###", "###", "###", "###", "###", "###", "###"}};
inline constexpr LogoLetter kK = {{"###.....", "###.....", "###.....", "###.....", "###..###", "###.###.", "######..",
    "#######.", "###..###", "###..###", "###..###"}};
inline constexpr LogoLetter kI = {{"###", "###", "...", "...", "###", "###", "###", "###", "###", "###", "###"}};
inline constexpr LogoLetter kN = {{"..........", "..........", "..........", "..........", "#########.", "###....###",
    "###....###", "###....###", "###....###", "###....###", "###....###"}};

inline constexpr const LogoLetter* kLogoWord[] = {&kD, &kR, &kE, &kL, &kK, &kI, &kN};

} // namespace artgen
