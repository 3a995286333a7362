// modwriter-cli: writes a short test tune (a looped tone playing a scale over a
// click track) as S3M or IT, to check a player or the writer by ear.
#include "modwriter/ModWriter.h"

#include <cmath>
#include <iostream>
#include <numbers>

namespace {

modwriter::Song testSong() {
    using namespace modwriter;
    Song song;
    song.title = "writer test tone";
    song.channels = {Channel{16, 64}, Channel{48, 64}};
    Sample tone;
    tone.name = "tone";
    tone.baseRate = 32 * 262; // 32-sample cycle at middle C
    for (int i = 0; i < 32 * 64; ++i) {
        tone.data.push_back(static_cast<std::int16_t>(12000 * std::sin(2 * std::numbers::pi * i / 32.0)));
    }
    tone.loop = true;
    tone.loopStart = 0;
    tone.loopEnd = static_cast<std::uint32_t>(tone.data.size());
    Sample click;
    click.name = "click";
    click.baseRate = 22050;
    for (int i = 0; i < 400; ++i)
        click.data.push_back(static_cast<std::int16_t>((i % 8 < 4 ? 20000 : -20000) * (400 - i) / 400));
    song.samples = {tone, click};
    Pattern pattern(64, 2);
    const int scale[] = {0, 2, 4, 5, 7, 9, 11, 12};
    for (int i = 0; i < 8; ++i) {
        pattern.at(i * 8, 0) = Cell{60 + scale[i], 1, 48, 0, 0};
        pattern.at(i * 8 + 6, 0).note = kNoteCut;
    }
    for (int r = 0; r < 64; r += 4) pattern.at(r, 1) = Cell{60, 2, r % 16 == 0 ? 64 : 32, 0, 0};
    song.patterns.push_back(pattern);
    song.orders = {0};
    return song;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: modwriter-cli OUTPUT.s3m|OUTPUT.it\n";
        return 2;
    }
    try {
        modwriter::saveSong(testSong(), modwriter::formatForPath(argv[1]), argv[1]);
    } catch (const modwriter::WriteError& e) {
        std::cerr << "modwriter-cli: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
