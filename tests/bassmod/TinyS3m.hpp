// Writes a small but valid Scream Tracker 3 module: one looped square-wave sample and one
// pattern that plays a short melody, so the tests have music without any file from outside.
#pragma once

#include <cstdint>
#include <vector>

namespace bassmod::test {

// rows: how many rows are played before a pattern break ends the song (1..64);
// speed: ticks per row at tempo 125 (one tick is 20 ms), so the song lasts rows * speed * 20 ms.
inline std::vector<std::uint8_t> tinyS3m(int rows = 16, int speed = 3) {
    std::vector<std::uint8_t> m(0x60, 0);
    auto put16 = [&](std::size_t at, unsigned v) {
        m[at] = v & 0xFF;
        m[at + 1] = (v >> 8) & 0xFF;
    };
    const char title[] = "tiny";
    for (std::size_t i = 0; i < sizeof title - 1; ++i) m[i] = static_cast<std::uint8_t>(title[i]);
    m[0x1C] = 0x1A;
    m[0x1D] = 16;   // S3M module
    put16(0x20, 2); // orders: pattern 0, end marker
    put16(0x22, 1); // one sample
    put16(0x24, 1); // one pattern
    put16(0x28, 0x1320);
    put16(0x2A, 2); // unsigned sample data
    m[0x2C] = 'S';
    m[0x2D] = 'C';
    m[0x2E] = 'R';
    m[0x2F] = 'M';
    m[0x30] = 64; // global volume
    m[0x31] = static_cast<std::uint8_t>(speed);
    m[0x32] = 125;                                                                         // tempo
    m[0x33] = 0x80 | 0x30;                                                                 // stereo, master volume
    for (int c = 0; c < 32; ++c) m[0x40 + c] = c == 0 ? 0 : c == 1 ? 8 : c == 2 ? 1 : 255; // L1, R1, L2
    m.push_back(0);
    m.push_back(255); // order list
    const std::size_t insPtrAt = m.size();
    m.resize(m.size() + 4); // sample + pattern pointers
    auto paragraph = [&] {
        while (m.size() % 16) m.push_back(0);
        return m.size() / 16;
    };

    const std::size_t ins = paragraph() * 16;
    put16(insPtrAt, static_cast<unsigned>(ins / 16));
    m.resize(ins + 0x50, 0);
    const unsigned sampleLength = 64;
    m[ins] = 1; // PCM sample
    m[ins + 0x10] = 0;
    m[ins + 0x11] = 0;               // data pointer, set below
    put16(ins + 0x10, sampleLength); // length
    put16(ins + 0x18, sampleLength); // loop end (begin stays 0)
    m[ins + 0x1C] = 48;              // volume
    m[ins + 0x1F] = 1;               // looped
    put16(ins + 0x20, 8363);
    m[ins + 0x4C] = 'S';
    m[ins + 0x4D] = 'C';
    m[ins + 0x4E] = 'R';
    m[ins + 0x4F] = 'S';

    const std::size_t pat = paragraph() * 16;
    put16(insPtrAt + 2, static_cast<unsigned>(pat / 16));
    m.resize(pat + 2);
    static const std::uint8_t melody[] = {0x40, 0x44, 0x47, 0x50, 0x47, 0x44, 0x42, 0x45};
    for (int row = 0; row < 64; ++row) {
        if (row % 2 == 0 && row < rows) {
            m.push_back(0x20 | static_cast<std::uint8_t>(row % 4 == 0 ? 0 : 1));
            m.push_back(melody[(row / 2) % 8]);
            m.push_back(1);
        }
        if (row == rows - 1) {
            m.push_back(0x80 | 2);
            m.push_back('C' - '@');
            m.push_back(0);
        }
        m.push_back(0);
    }
    put16(pat, static_cast<unsigned>(m.size() - pat));

    const std::size_t data = paragraph() * 16;
    m[ins + 0x0D] = static_cast<std::uint8_t>((data / 16) >> 16);
    put16(ins + 0x0E, static_cast<unsigned>((data / 16) & 0xFFFF));
    for (unsigned i = 0; i < sampleLength; ++i) m.push_back(i < sampleLength / 2 ? 0xE0 : 0x20);
    return m;
}

} // namespace bassmod::test
