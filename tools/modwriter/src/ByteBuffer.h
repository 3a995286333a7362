// Little-endian byte sink with patchable slots, shared by both format writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace modwriter::detail {

class ByteBuffer {
public:
    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

    void u8(unsigned v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void tag(const char* four) {
        for (int i = 0; i < 4; ++i) u8(static_cast<unsigned char>(four[i]));
    }

    // Fixed-width text field, NUL padded; the last byte stays NUL when asked to.
    void text(const std::string& s, std::size_t width, bool terminated) {
        std::size_t n = s.size() < width ? s.size() : width;
        if (terminated && n == width) --n;
        for (std::size_t i = 0; i < n; ++i) u8(static_cast<unsigned char>(s[i]));
        zeros(width - n);
    }

    void alignTo(std::size_t alignment) {
        while (bytes_.size() % alignment != 0) u8(0);
    }

    void put16(std::size_t at, unsigned v) {
        bytes_[at] = static_cast<std::uint8_t>(v & 0xFF);
        bytes_[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
    void put32(std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace modwriter::detail
