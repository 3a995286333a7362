// An in-process module library that writes every call with its arguments into a shared log,
// plus an error box and a current-directory setter that write into the same log, so tests can
// check the order of everything the player does to the outside.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "forms/ErrorBox.h"
#include "player/ModuleLibrary.h"

namespace playertest {

using Log = std::vector<std::string>;

class FakeModuleLibrary : public player::ModuleLibrary {
public:
    explicit FakeModuleLibrary(Log& log) : log_(log) {}

    std::uint32_t version = 0x00060001; // low word 1, high word 6
    std::int32_t initResult = 1;
    std::set<std::string> missingFiles; // paths that fail to load
    bool throwEverywhere = false;       // the library file itself is unreachable
    bool throwOnFree = false;
    bool throwOnLoad = false;
    bool throwOnErrorCode = false;
    std::int32_t lastError = 0;
    bool loaded = false;
    // Runs on every call, after it is logged: lets a test look at the window at that moment.
    std::function<void(const std::string&)> onCall;

    std::uint32_t GetVersion() override {
        call("GetVersion");
        return version;
    }
    std::int32_t Init(std::int32_t device, std::uint32_t freq, std::uint32_t flags) override {
        call("Init(" + std::to_string(device) + "," + std::to_string(freq) + "," + std::to_string(flags) + ")");
        lastError = initResult ? 0 : 3;
        return initResult;
    }
    std::int32_t MusicLoad(std::int32_t mem, const void* file, std::uint32_t offset, std::uint32_t length,
        std::uint32_t flags) override {
        const std::string path = static_cast<const char*>(file);
        call("MusicLoad(" + std::to_string(mem) + "," + path + "," + std::to_string(offset) + "," +
             std::to_string(length) + "," + std::to_string(flags) + ")");
        if (throwOnLoad) throw player::LibraryError("load unreachable");
        if (missingFiles.count(path)) {
            lastError = 2;
            return 0;
        }
        loaded = true;
        lastError = 0;
        return 1;
    }
    std::int32_t MusicPlay() override {
        call("MusicPlay");
        lastError = loaded ? 0 : 5;
        return loaded ? 1 : 0;
    }
    std::int32_t MusicFree() override {
        call("MusicFree");
        if (throwOnFree) throw player::LibraryError("free unreachable");
        loaded = false;
        return 1;
    }
    std::int32_t ErrorGetCode() override {
        call("ErrorGetCode");
        if (throwOnErrorCode) throw player::LibraryError("error code unreachable");
        return lastError;
    }
    float GetCPU() override {
        call("GetCPU");
        return 0.5f;
    }

private:
    void call(const std::string& entry) {
        log_.push_back(entry);
        if (onCall) onCall(entry);
        if (throwEverywhere) throw player::LibraryError("/nowhere/libbassmod.so: cannot open shared object file");
    }
    Log& log_;
};

// Stands in for the user: records each box and dismisses it at once, after running whatever
// the test wants to happen while the box is up.
class RecordingErrorBox : public forms::ErrorBox {
public:
    explicit RecordingErrorBox(Log& log) : log_(log) {}

    struct Shown {
        std::string text, title;
    };
    std::vector<Shown> shown;
    std::function<void()> whileOpen;

    void show(const std::string& text, const std::string& title) override {
        log_.push_back("Box(" + title + "): " + text);
        shown.push_back({text, title});
        if (whileOpen) whileOpen();
    }

private:
    Log& log_;
};

} // namespace playertest
