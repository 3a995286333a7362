// Impulse Tracker 2.14 layout: 192-byte header, order list, offset tables,
// instruments (IMPI), samples (IMPS), packed patterns, signed sample data.
#include "Writers.h"

#include "ByteBuffer.h"
#include "Validate.h"

#include <algorithm>

namespace modwriter::detail {

namespace {

constexpr unsigned kTrackerVersion = 0x0214;

unsigned itNote(int note) {
    if (note == kNoteOff) return 255;
    if (note == kNoteCut) return 254;
    return static_cast<unsigned>(note);
}

void writeEnvelope(ByteBuffer& out, const std::vector<EnvelopePoint>& points, int sustainPoint) {
    const bool on = !points.empty();
    const bool sustain = on && sustainPoint >= 0;
    out.u8((on ? 1u : 0u) | (sustain ? 4u : 0u));
    out.u8(static_cast<unsigned>(points.size()));
    out.u8(0);
    out.u8(0);
    out.u8(sustain ? static_cast<unsigned>(sustainPoint) : 0u);
    out.u8(sustain ? static_cast<unsigned>(sustainPoint) : 0u);
    for (std::size_t i = 0; i < 25; ++i) {
        if (i < points.size()) {
            out.u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(points[i].value)));
            out.u16(static_cast<unsigned>(points[i].tick));
        } else {
            out.zeros(3);
        }
    }
    out.u8(0);
}

void checkEnvelope(const Instrument& ins, const std::vector<EnvelopePoint>& points, int low, int high) {
    if (points.size() > 25) throw WriteError("instrument " + ins.name + " has more than 25 envelope points");
    for (std::size_t i = 0; i < points.size(); ++i) {
        const EnvelopePoint& p = points[i];
        if (p.value < low || p.value > high || p.tick < 0 || p.tick > 0xFFFF ||
            (i > 0 && p.tick <= points[i - 1].tick)) {
            throw WriteError("instrument " + ins.name + " has a malformed envelope");
        }
    }
}

void writeInstrument(ByteBuffer& out, const Instrument& ins) {
    out.tag("IMPI");
    out.text(ins.name, 12, false);
    out.u8(0);
    out.u8(static_cast<unsigned>(ins.newNoteAction));
    out.u8(0);
    out.u8(0);
    out.u16(static_cast<unsigned>(ins.fadeout));
    out.u8(0);
    out.u8(60);
    out.u8(static_cast<unsigned>(ins.globalVolume));
    out.u8(32 | 128); // no default pan: the channel's pan holds
    out.u8(0);
    out.u8(0);
    out.u16(kTrackerVersion);
    out.u8(1);
    out.u8(0);
    out.text(ins.name, 26, true);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    out.u16(0);
    for (unsigned n = 0; n < 120; ++n) {
        out.u8(n);
        out.u8(static_cast<unsigned>(ins.keyboard.empty() ? ins.sample : ins.keyboard[n]));
    }
    writeEnvelope(out, ins.volumeEnvelope, ins.sustainPoint);
    writeEnvelope(out, ins.panEnvelope, -1);
    writeEnvelope(out, ins.pitchEnvelope, -1);
    out.zeros(4);
}

void writePattern(ByteBuffer& out, const Pattern& pattern) {
    const std::size_t start = out.size();
    out.u16(0);
    out.u16(static_cast<unsigned>(pattern.rows()));
    out.zeros(4);
    const std::size_t dataStart = out.size();
    for (int r = 0; r < pattern.rows(); ++r) {
        for (int c = 0; c < pattern.channels(); ++c) {
            const Cell& cell = pattern.at(r, c);
            if (cell.empty()) continue;
            unsigned mask = 0;
            if (cell.note != kNoteNone) mask |= 1;
            if (cell.instrument != 0) mask |= 2;
            if (cell.volume >= 0) mask |= 4;
            if (cell.effect != 0) mask |= 8;
            out.u8(static_cast<unsigned>(c + 1) | 0x80);
            out.u8(mask);
            if (mask & 1) out.u8(itNote(cell.note));
            if (mask & 2) out.u8(static_cast<unsigned>(cell.instrument));
            if (mask & 4) out.u8(static_cast<unsigned>(cell.volume));
            if (mask & 8) {
                out.u8(static_cast<unsigned>(cell.effect - 'A' + 1));
                out.u8(cell.param);
            }
        }
        out.u8(0);
    }
    out.put16(start, static_cast<unsigned>(out.size() - dataStart));
}

} // namespace

std::vector<std::uint8_t> writeIt(const Song& song) {
    validateCommon(song, 64, 200, 99);
    if (song.instruments.size() > 99) throw WriteError("too many instruments");
    for (const Instrument& ins : song.instruments) {
        if (ins.sample < 1 || ins.sample > static_cast<int>(song.samples.size()) ||
            std::any_of(ins.keyboard.begin(), ins.keyboard.end(),
                [&](int s) { return s < 1 || s > static_cast<int>(song.samples.size()); })) {
            throw WriteError("instrument " + ins.name + " refers to a missing sample");
        }
        if (!ins.keyboard.empty() && ins.keyboard.size() != 120)
            throw WriteError("instrument " + ins.name + " maps a keyboard that is not 120 notes");
        checkEnvelope(ins, ins.volumeEnvelope, 0, 64);
        checkEnvelope(ins, ins.panEnvelope, -32, 32);
        checkEnvelope(ins, ins.pitchEnvelope, -32, 32);
        if (ins.sustainPoint >= static_cast<int>(ins.volumeEnvelope.size())) {
            throw WriteError("instrument " + ins.name + " sustains on a missing envelope point");
        }
    }

    const std::size_t orderCount = song.orders.size() + 1; // end marker
    ByteBuffer out;
    out.tag("IMPM");
    out.text(song.title, 26, true);
    out.u8(static_cast<unsigned>(std::clamp(song.rowsPerBeat, 1, 255)));
    out.u8(static_cast<unsigned>(std::clamp(song.rowsPerBar, 1, 255)));
    out.u16(static_cast<unsigned>(orderCount));
    out.u16(static_cast<unsigned>(song.instruments.size()));
    out.u16(static_cast<unsigned>(song.samples.size()));
    out.u16(static_cast<unsigned>(song.patterns.size()));
    out.u16(kTrackerVersion);
    out.u16(kTrackerVersion);
    out.u16(1u | 8u | (song.instruments.empty() ? 0u : 4u)); // stereo, linear slides, instruments
    out.u16(0);
    out.u8(static_cast<unsigned>(song.globalVolume));
    out.u8(static_cast<unsigned>(song.mixVolume));
    out.u8(static_cast<unsigned>(song.speed));
    out.u8(static_cast<unsigned>(song.tempo));
    out.u8(128);
    out.u8(0);
    out.u16(0);
    out.u32(0);
    out.u32(0);
    for (std::size_t c = 0; c < 64; ++c) {
        out.u8(c < song.channels.size() ? static_cast<unsigned>(song.channels[c].pan) : 32u | 128u);
    }
    for (std::size_t c = 0; c < 64; ++c) {
        out.u8(c < song.channels.size() ? static_cast<unsigned>(song.channels[c].volume) : 64u);
    }
    for (int o : song.orders) out.u8(static_cast<unsigned>(o));
    out.u8(255);

    const std::size_t instrumentTable = out.size();
    out.zeros(4 * song.instruments.size());
    const std::size_t sampleTable = out.size();
    out.zeros(4 * song.samples.size());
    const std::size_t patternTable = out.size();
    out.zeros(4 * song.patterns.size());

    for (std::size_t i = 0; i < song.instruments.size(); ++i) {
        out.put32(instrumentTable + 4 * i, static_cast<std::uint32_t>(out.size()));
        writeInstrument(out, song.instruments[i]);
    }
    std::vector<std::size_t> samplePointerSlots;
    for (std::size_t i = 0; i < song.samples.size(); ++i) {
        const Sample& s = song.samples[i];
        out.put32(sampleTable + 4 * i, static_cast<std::uint32_t>(out.size()));
        out.tag("IMPS");
        out.text(s.name, 12, false);
        out.u8(0);
        out.u8(static_cast<unsigned>(std::clamp(s.globalVolume, 0, 64)));
        out.u8((s.data.empty() ? 0u : 1u) | (s.sixteenBit ? 2u : 0u) | (s.loop ? 0x10u : 0u));
        out.u8(static_cast<unsigned>(s.volume));
        out.text(s.name, 26, true);
        out.u8(1); // signed data
        out.u8(s.pan >= 0 ? static_cast<unsigned>(std::min(s.pan, 64)) | 128u : 32u);
        out.u32(static_cast<std::uint32_t>(s.data.size()));
        out.u32(s.loop ? s.loopStart : 0);
        out.u32(s.loop ? s.loopEnd : 0);
        out.u32(s.baseRate);
        out.u32(0);
        out.u32(0);
        samplePointerSlots.push_back(out.size());
        out.u32(0);
        out.zeros(4);
    }
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        out.put32(patternTable + 4 * p, static_cast<std::uint32_t>(out.size()));
        writePattern(out, song.patterns[p]);
    }
    for (std::size_t i = 0; i < song.samples.size(); ++i) {
        const Sample& s = song.samples[i];
        out.put32(samplePointerSlots[i], static_cast<std::uint32_t>(out.size()));
        for (std::int16_t v : s.data) {
            if (s.sixteenBit) {
                out.u16(static_cast<std::uint16_t>(v));
            } else {
                out.u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(v >> 8)));
            }
        }
    }
    return std::move(out.bytes());
}

} // namespace modwriter::detail
