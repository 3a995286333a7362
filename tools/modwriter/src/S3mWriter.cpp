// Scream Tracker 3 layout: 96-byte header, order list, paragraph pointers to
// 80-byte sample headers and packed 64-row patterns, unsigned sample data.
#include "Writers.h"

#include "ByteBuffer.h"
#include "Validate.h"

#include <algorithm>

namespace modwriter::detail {

namespace {

constexpr int kS3mRows = 64;
constexpr int kS3mChannels = 16;

unsigned s3mNote(int note) {
    if (note == kNoteOff || note == kNoteCut) return 254;
    const int octave = note / 12 - 1;
    return static_cast<unsigned>((octave << 4) | (note % 12));
}

void writePattern(ByteBuffer& out, const Pattern& pattern) {
    const std::size_t start = out.size();
    out.u16(0);
    for (int r = 0; r < pattern.rows(); ++r) {
        for (int c = 0; c < pattern.channels(); ++c) {
            const Cell& cell = pattern.at(r, c);
            if (cell.empty()) continue;
            unsigned what = static_cast<unsigned>(c);
            const bool noteOrInstrument = cell.note != kNoteNone || cell.instrument != 0;
            if (noteOrInstrument) what |= 0x20;
            if (cell.volume >= 0) what |= 0x40;
            if (cell.effect != 0) what |= 0x80;
            out.u8(what);
            if (noteOrInstrument) {
                out.u8(cell.note == kNoteNone ? 255 : s3mNote(cell.note));
                out.u8(static_cast<unsigned>(cell.instrument));
            }
            if (cell.volume >= 0) out.u8(static_cast<unsigned>(cell.volume));
            if (cell.effect != 0) {
                out.u8(static_cast<unsigned>(cell.effect - 'A' + 1));
                out.u8(cell.param);
            }
        }
        out.u8(0);
    }
    out.put16(start, static_cast<unsigned>(out.size() - start));
}

unsigned paragraph(std::size_t offset) {
    if (offset / 16 > 0xFFFF) throw WriteError("S3M file grew past the reach of its pattern pointers");
    return static_cast<unsigned>(offset / 16);
}

} // namespace

std::vector<std::uint8_t> writeS3m(const Song& song) {
    validateCommon(song, kS3mChannels, kS3mRows, 99);
    if (!song.instruments.empty()) throw WriteError("S3M songs have samples only, no instruments");
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        if (song.patterns[p].rows() != kS3mRows) {
            throw WriteError(
                "S3M pattern " + std::to_string(p) + " must have 64 rows; end it early with a pattern break");
        }
        for (int r = 0; r < kS3mRows; ++r) {
            for (int c = 0; c < song.patterns[p].channels(); ++c) {
                const int n = song.patterns[p].at(r, c).note;
                if (n >= 0 && (n < 12 || n > 107)) throw WriteError("S3M notes span C-0 to B-7");
            }
        }
    }

    const std::size_t orderCount = (song.orders.size() + 2) & ~std::size_t{1}; // even, with an end marker
    ByteBuffer out;
    out.text(song.title, 28, true);
    out.u8(0x1A);
    out.u8(16);
    out.u16(0);
    out.u16(static_cast<unsigned>(orderCount));
    out.u16(static_cast<unsigned>(song.samples.size()));
    out.u16(static_cast<unsigned>(song.patterns.size()));
    out.u16(0);
    out.u16(0x1320);
    out.u16(2); // unsigned samples
    out.tag("SCRM");
    out.u8(static_cast<unsigned>(song.globalVolume / 2));
    out.u8(static_cast<unsigned>(song.speed));
    out.u8(static_cast<unsigned>(song.tempo));
    out.u8(0x80 | static_cast<unsigned>(std::clamp(song.mixVolume, 16, 127)));
    out.u8(16);
    out.u8(252); // a panning table follows the pointers
    out.zeros(8);
    out.u16(0);
    for (int c = 0; c < 32; ++c) {
        out.u8(c < static_cast<int>(song.channels.size()) ? static_cast<unsigned>(c) : 255u);
    }
    for (std::size_t i = 0; i < orderCount; ++i) {
        out.u8(i < song.orders.size() ? static_cast<unsigned>(song.orders[i]) : 255u);
    }
    const std::size_t samplePointers = out.size();
    out.zeros(2 * song.samples.size());
    const std::size_t patternPointers = out.size();
    out.zeros(2 * song.patterns.size());
    for (int c = 0; c < 32; ++c) {
        if (c < static_cast<int>(song.channels.size())) {
            out.u8(0x20 | static_cast<unsigned>((song.channels[c].pan * 15 + 32) / 64));
        } else {
            out.u8(0);
        }
    }

    std::vector<std::size_t> sampleHeaders;
    for (std::size_t i = 0; i < song.samples.size(); ++i) {
        const Sample& s = song.samples[i];
        out.alignTo(16);
        out.put16(samplePointers + 2 * i, paragraph(out.size()));
        sampleHeaders.push_back(out.size());
        out.u8(1);
        out.text(s.name, 12, false);
        out.zeros(3); // data pointer, patched below
        out.u32(static_cast<std::uint32_t>(s.data.size()));
        out.u32(s.loop ? s.loopStart : 0);
        out.u32(s.loop ? s.loopEnd : 0);
        out.u8(static_cast<unsigned>(s.volume));
        out.u8(0);
        out.u8(0);
        out.u8((s.loop ? 1u : 0u) | (s.sixteenBit ? 4u : 0u));
        out.u32(s.baseRate);
        out.zeros(12);
        out.text(s.name, 28, true);
        out.tag("SCRS");
    }
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        out.alignTo(16);
        out.put16(patternPointers + 2 * p, paragraph(out.size()));
        writePattern(out, song.patterns[p]);
    }
    for (std::size_t i = 0; i < song.samples.size(); ++i) {
        const Sample& s = song.samples[i];
        out.alignTo(16);
        const std::size_t para = out.size() / 16;
        if (para > 0xFFFFFF) throw WriteError("S3M file too large");
        out.bytes()[sampleHeaders[i] + 13] = static_cast<std::uint8_t>(para >> 16);
        out.put16(sampleHeaders[i] + 14, static_cast<unsigned>(para & 0xFFFF));
        for (std::int16_t v : s.data) {
            if (s.sixteenBit) {
                out.u16(static_cast<std::uint16_t>(v) ^ 0x8000u);
            } else {
                out.u8(static_cast<unsigned>((v >> 8) + 128));
            }
        }
    }
    return std::move(out.bytes());
}

} // namespace modwriter::detail
