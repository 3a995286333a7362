// The module library as the program really uses it: the shared library file in the program's
// folder, opened at the first call with all seven operations looked up at once.
#pragma once

#include <string>

#include "player/ModuleLibrary.h"

namespace player {

class DynamicModuleLibrary final : public ModuleLibrary {
public:
    // folder: where the library file lies (the program's folder), an absolute path in the
    // system's bytes.
    explicit DynamicModuleLibrary(const std::string& folder);
    ~DynamicModuleLibrary() override;
    DynamicModuleLibrary(const DynamicModuleLibrary&) = delete;
    DynamicModuleLibrary& operator=(const DynamicModuleLibrary&) = delete;

    const std::string& path() const { return path_; }

    std::uint32_t GetVersion() override;
    std::int32_t Init(std::int32_t device, std::uint32_t freq, std::uint32_t flags) override;
    std::int32_t MusicLoad(std::int32_t mem, const void* file, std::uint32_t offset, std::uint32_t length,
        std::uint32_t flags) override;
    std::int32_t MusicPlay() override;
    std::int32_t MusicFree() override;
    std::int32_t ErrorGetCode() override;
    float GetCPU() override;

private:
    // Opens the file and resolves every operation; a missing file or operation raises
    // LibraryError naming it, at this call and at every later one.
    void open();
    void* entry(void* const& slot);

    std::string folder_;
    std::string path_;
    void* handle_ = nullptr;
    bool resolved_ = false;
    void* getVersion_ = nullptr;
    void* init_ = nullptr;
    void* musicLoad_ = nullptr;
    void* musicPlay_ = nullptr;
    void* musicFree_ = nullptr;
    void* errorGetCode_ = nullptr;
    void* getCPU_ = nullptr;
};

} // namespace player
