// The decoding core: one module, rendered on demand into a caller's 16-bit stereo buffer.
// Knows nothing of audio devices or threads; whoever owns it serialises access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

namespace bassmod {

class ModuleRenderer {
public:
    using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;

    // Throws openmpt::exception when the bytes are not a module it can read. The bytes are kept
    // for restarted(), and shared with the renderers it makes rather than copied.
    ModuleRenderer(Bytes bytes, bool surround);
    ~ModuleRenderer();
    ModuleRenderer(const ModuleRenderer&) = delete;
    ModuleRenderer& operator=(const ModuleRenderer&) = delete;

    // A new renderer of the same module at its very start. Seeking back would keep voices,
    // ramps and filter state of the old position, so a replay would not sound like the first.
    std::unique_ptr<ModuleRenderer> restarted() const;

    // Fills up to `frames` interleaved stereo frames; returns how many hold music. Fewer than
    // asked means the song has ended; the rest of the buffer is left alone.
    std::size_t render(std::uint32_t rate, std::int16_t* interleaved, std::size_t frames);

    // The module's own title, as UTF-8; empty when it has none.
    const std::string& title() const { return title_; }

private:
    Bytes bytes_;
    bool surround_;
    // libopenmpt's warnings about a damaged module go nowhere: the host program owns its stderr,
    // and the caller learns of a module it cannot read from the load's error code.
    std::ostream silence_{nullptr};
    std::unique_ptr<openmpt::module> module_;
    std::string title_;
};

} // namespace bassmod
