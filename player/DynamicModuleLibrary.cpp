#include "player/DynamicModuleLibrary.h"

#include <dlfcn.h>

#include <iterator>
#include <type_traits>
#include <utility>

#include "bassmod.h"

namespace player {

namespace {

// The library's C entry points with the argument widths of its ABI.
using GetVersionFn = std::uint32_t (*)();
using InitFn = std::int32_t (*)(std::int32_t, std::uint32_t, std::uint32_t);
using MusicLoadFn = std::int32_t (*)(std::int32_t, const void*, std::uint32_t, std::uint32_t, std::uint32_t);
using MusicPlayFn = std::int32_t (*)();
using MusicFreeFn = std::int32_t (*)();
using ErrorGetCodeFn = std::int32_t (*)();
using GetCPUFn = float (*)();

// The declarations are only used to keep these types honest; the calls go through dlsym.
static_assert(std::is_same_v<GetVersionFn, decltype(&BASSMOD_GetVersion)>);
static_assert(std::is_same_v<InitFn, decltype(&BASSMOD_Init)>);
static_assert(std::is_same_v<MusicLoadFn, decltype(&BASSMOD_MusicLoad)>);
static_assert(std::is_same_v<MusicPlayFn, decltype(&BASSMOD_MusicPlay)>);
static_assert(std::is_same_v<MusicFreeFn, decltype(&BASSMOD_MusicFree)>);
static_assert(std::is_same_v<ErrorGetCodeFn, decltype(&BASSMOD_ErrorGetCode)>);
static_assert(std::is_same_v<GetCPUFn, decltype(&BASSMOD_GetCPU)>);

template <typename Fn>
Fn as(void* p) {
    return reinterpret_cast<Fn>(p);
}

} // namespace

DynamicModuleLibrary::DynamicModuleLibrary(const std::string& folder)
    : folder_(folder), path_(folder + "/" + kLibraryFileName) {}

// The library is never unloaded: its audio thread may still be running, and the end of the
// process releases it anyway.
DynamicModuleLibrary::~DynamicModuleLibrary() = default;

void DynamicModuleLibrary::open() {
    if (resolved_) return;
    // Only a file of the program's own folder, by its absolute path: with a relative or empty
    // folder the loader would take a library of that name from wherever it happens to be.
    if (folder_.empty() || folder_[0] != '/')
        throw LibraryError("Can't load the module library " + path_ + ": the program's folder is not known");
    if (!handle_) {
        handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            const char* why = dlerror();
            std::string reason = why ? why : "cannot be loaded";
            // The loader usually repeats the path in front of its reason.
            if (reason.rfind(path_ + ": ", 0) == 0) reason.erase(0, path_.size() + 2);
            throw LibraryError("Can't load the module library " + path_ + ": " + reason);
        }
    }
    // All or nothing: a library that lacks one operation is not used for any of them.
    const std::pair<void**, const char*> entries[] = {
        {&getVersion_, "BASSMOD_GetVersion"},
        {&init_, "BASSMOD_Init"},
        {&musicLoad_, "BASSMOD_MusicLoad"},
        {&musicPlay_, "BASSMOD_MusicPlay"},
        {&musicFree_, "BASSMOD_MusicFree"},
        {&errorGetCode_, "BASSMOD_ErrorGetCode"},
        {&getCPU_, "BASSMOD_GetCPU"},
    };
    void* found[std::size(entries)] = {};
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        found[i] = dlsym(handle_, entries[i].second);
        if (!found[i]) throw LibraryError("The module library " + path_ + " is missing function " + entries[i].second);
    }
    for (std::size_t i = 0; i < std::size(entries); ++i) *entries[i].first = found[i];
    resolved_ = true;
}

void* DynamicModuleLibrary::entry(void* const& slot) {
    open();
    return slot;
}

std::uint32_t DynamicModuleLibrary::GetVersion() { return as<GetVersionFn>(entry(getVersion_))(); }

std::int32_t DynamicModuleLibrary::Init(std::int32_t device, std::uint32_t freq, std::uint32_t flags) {
    return as<InitFn>(entry(init_))(device, freq, flags);
}

std::int32_t DynamicModuleLibrary::MusicLoad(std::int32_t mem, const void* file, std::uint32_t offset,
    std::uint32_t length, std::uint32_t flags) {
    return as<MusicLoadFn>(entry(musicLoad_))(mem, file, offset, length, flags);
}

std::int32_t DynamicModuleLibrary::MusicPlay() { return as<MusicPlayFn>(entry(musicPlay_))(); }

std::int32_t DynamicModuleLibrary::MusicFree() { return as<MusicFreeFn>(entry(musicFree_))(); }

std::int32_t DynamicModuleLibrary::ErrorGetCode() { return as<ErrorGetCodeFn>(entry(errorGetCode_))(); }

float DynamicModuleLibrary::GetCPU() { return as<GetCPUFn>(entry(getCPU_))(); }

} // namespace player
