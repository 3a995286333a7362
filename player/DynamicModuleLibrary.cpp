#include "player/DynamicModuleLibrary.h"

#include <dlfcn.h>

#include <type_traits>

#include "bassmod.h"

namespace player {

namespace {

// The library's C entry points with the argument widths of its ABI.
using GetVersionFn = std::uint32_t (*)();
using InitFn = std::int32_t (*)(std::int32_t, std::uint32_t, std::uint32_t);
using MusicLoadFn = std::int32_t (*)(std::int32_t, const void*, std::uint32_t, std::uint32_t,
                                     std::uint32_t);
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
    : path_(folder + "/" + kLibraryFileName) {}

// The library is never unloaded: its audio thread may still be running, and the end of the
// process releases it anyway.
DynamicModuleLibrary::~DynamicModuleLibrary() = default;

void* DynamicModuleLibrary::symbol(void*& slot, const char* name) {
    if (slot) return slot;
    if (!handle_) {
        // An absolute path, so the loader never searches elsewhere for a library of that name.
        handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            const char* why = dlerror();
            std::string reason = why ? why : "cannot be loaded";
            // The loader usually repeats the path in front of its reason.
            if (reason.rfind(path_ + ": ", 0) == 0) reason.erase(0, path_.size() + 2);
            throw LibraryError("Can't load the module library " + path_ + ": " + reason);
        }
    }
    dlerror();
    void* p = dlsym(handle_, name);
    if (!p) throw LibraryError("The module library " + path_ + " is missing function " + name);
    slot = p;
    return p;
}

std::uint32_t DynamicModuleLibrary::GetVersion() {
    return as<GetVersionFn>(symbol(getVersion_, "BASSMOD_GetVersion"))();
}

std::int32_t DynamicModuleLibrary::Init(std::int32_t device, std::uint32_t freq,
                                        std::uint32_t flags) {
    return as<InitFn>(symbol(init_, "BASSMOD_Init"))(device, freq, flags);
}

std::int32_t DynamicModuleLibrary::MusicLoad(std::int32_t mem, const void* file,
                                             std::uint32_t offset, std::uint32_t length,
                                             std::uint32_t flags) {
    return as<MusicLoadFn>(symbol(musicLoad_, "BASSMOD_MusicLoad"))(mem, file, offset, length,
                                                                    flags);
}

std::int32_t DynamicModuleLibrary::MusicPlay() {
    return as<MusicPlayFn>(symbol(musicPlay_, "BASSMOD_MusicPlay"))();
}

std::int32_t DynamicModuleLibrary::MusicFree() {
    return as<MusicFreeFn>(symbol(musicFree_, "BASSMOD_MusicFree"))();
}

std::int32_t DynamicModuleLibrary::ErrorGetCode() {
    return as<ErrorGetCodeFn>(symbol(errorGetCode_, "BASSMOD_ErrorGetCode"))();
}

float DynamicModuleLibrary::GetCPU() { return as<GetCPUFn>(symbol(getCPU_, "BASSMOD_GetCPU"))(); }

} // namespace player
