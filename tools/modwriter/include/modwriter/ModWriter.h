// Serialises a Song as a Scream Tracker 3 (.S3M) or Impulse Tracker (.IT) module.
#pragma once

#include "modwriter/Song.h"

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace modwriter {

enum class Format { S3M, IT };

// Raised for songs the chosen format cannot hold and for files that cannot be written.
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<std::uint8_t> writeSong(const Song& song, Format format);
void saveSong(const Song& song, Format format, const std::filesystem::path& path);

// Picks the format from the file name's extension (.s3m or .it, any case).
Format formatForPath(const std::filesystem::path& path);

} // namespace modwriter
