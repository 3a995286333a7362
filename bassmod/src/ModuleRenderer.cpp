#include "ModuleRenderer.hpp"

#include <libopenmpt/libopenmpt.hpp>

namespace bassmod {

namespace {
// Doubled separation pushes panned channels fully apart; the closest libopenmpt has to surround.
constexpr std::int32_t surroundSeparationPercent = 200;
} // namespace

ModuleRenderer::ModuleRenderer(Bytes bytes, bool surround)
    : bytes_(std::move(bytes)), surround_(surround), module_(std::make_unique<openmpt::module>(*bytes_, silence_)) {
    // Once through the first song, then silence: no fade-out tail, no looping, no other subsongs.
    module_->ctl_set_text("play.at_end", "stop");
    module_->select_subsong(0);
    module_->set_repeat_count(0);
    // No dither, so a module always renders to the same samples.
    module_->ctl_set_integer("dither", 0);
    if (surround)
        module_->set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT, surroundSeparationPercent);
    // A damaged title may hold control characters; whoever shows it gets plain text.
    title_ = module_->get_metadata("title");
    for (char& c : title_)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
}

ModuleRenderer::~ModuleRenderer() = default;

std::unique_ptr<ModuleRenderer> ModuleRenderer::restarted() const {
    return std::make_unique<ModuleRenderer>(bytes_, surround_);
}

std::size_t ModuleRenderer::render(std::uint32_t rate, std::int16_t* interleaved, std::size_t frames) {
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t got =
            module_->read_interleaved_stereo(static_cast<std::int32_t>(rate), frames - done, interleaved + 2 * done);
        if (got == 0) break;
        done += got;
    }
    return done;
}

} // namespace bassmod
