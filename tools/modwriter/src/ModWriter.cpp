#include "modwriter/ModWriter.h"

#include "Writers.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace modwriter {

std::vector<std::uint8_t> writeSong(const Song& song, Format format) {
    return format == Format::S3M ? detail::writeS3m(song) : detail::writeIt(song);
}

void saveSong(const Song& song, Format format, const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = writeSong(song, format);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw WriteError("cannot open " + path.string() + " for writing");
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw WriteError("cannot write " + path.string());
}

Format formatForPath(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".s3m") return Format::S3M;
    if (ext == ".it") return Format::IT;
    throw WriteError("unknown module extension in " + path.string() + " (expected .s3m or .it)");
}

} // namespace modwriter
