// A small but valid Scream Tracker 3 module: one looped square-wave sample and one pattern that
// plays a short melody on two channels panned apart, so the tests have music of their own.
#pragma once

#include "modwriter/ModWriter.h"

#include <cstdint>
#include <vector>

namespace bassmod::test {

// rows: how many rows are played before a pattern break ends the song (1..64);
// speed: ticks per row at tempo 125 (one tick is 20 ms), so the song lasts rows * speed * 20 ms.
inline std::vector<std::uint8_t> tinyS3m(int rows = 16, int speed = 3)
{
    modwriter::Song song;
    song.title = "tiny";
    song.speed = speed;
    song.channels = {{16, 64}, {48, 64}};
    modwriter::Sample square;
    square.name = "square";
    square.sixteenBit = false;
    for (int i = 0; i < 64; ++i)
        square.data.push_back(i < 32 ? 24576 : -24576);
    square.loop = true;
    square.loopEnd = 64;
    square.volume = 48;
    song.samples = {square};
    modwriter::Pattern pattern(64, 2);
    static const int melody[] = {60, 64, 67, 72, 67, 64, 62, 65};
    for (int row = 0; row < rows; row += 2)
        pattern.at(row, row % 4 == 0 ? 0 : 1) = {melody[(row / 2) % 8], 1, -1, 0, 0};
    pattern.at(rows - 1, 1).effect = 'C';
    song.patterns = {pattern};
    song.orders = {0};
    return modwriter::writeSong(song, modwriter::Format::S3M);
}

} // namespace bassmod::test
