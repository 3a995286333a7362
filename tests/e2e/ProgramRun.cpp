#include "ProgramRun.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <QProcess>
#include <QProcessEnvironment>

namespace e2e {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBoxPrefix = "Error box: ";

std::vector<std::string> readLines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Each box's text with whatever else was written after it, up to the next box; tests look
// at how each one starts.
std::vector<std::string> boxesIn(const std::string& err) {
    std::vector<std::string> boxes;
    std::size_t at = err.find(kBoxPrefix);
    while (at != std::string::npos) {
        const std::size_t start = at + std::string(kBoxPrefix).size();
        const std::size_t next = err.find(kBoxPrefix, start);
        std::string text = err.substr(start, next == std::string::npos ? std::string::npos
                                                                        : next - start);
        boxes.push_back(text);
        at = next;
    }
    return boxes;
}

} // namespace

ProgramFolder::ProgramFolder() : dir_(std::make_unique<QTemporaryDir>()) {
    if (!dir_->isValid()) throw std::runtime_error("no scratch folder");
    path_ = dir_->path().toStdString() + "/disk";
    fs::create_directory(path_);
    fs::copy_file(E2E_PROGRAM, path_ + "/velsmoor");
}

void ProgramFolder::addFakeLibrary(const std::string& fakeName) {
    fs::copy_file(std::string(E2E_FAKES_DIR) + "/" + fakeName + "/libbassmod.so",
                  path_ + "/libbassmod.so");
}

void ProgramFolder::addRealLibrary() { fs::copy_file(E2E_REAL_LIBRARY, path_ + "/libbassmod.so"); }

void ProgramFolder::addMods() {
    fs::copy(E2E_MODS_DIR, path_ + "/mods", fs::copy_options::recursive);
}

RunResult ProgramFolder::run(int runMs, const std::map<std::string, std::string>& extraEnv) const {
    const std::string log = dir_->path().toStdString() + "/calls.log";
    fs::remove(log);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("QT_QPA_PLATFORMTHEME");
    env.insert("VELSMOOR_AUTO_DISMISS_MS", "300");
    env.insert("FAKE_BASSMOD_LOG", QString::fromStdString(log));
    env.insert("SDL_AUDIODRIVER", "dummy");
    for (const auto& [k, v] : extraEnv) env.insert(QString::fromStdString(k), QString::fromStdString(v));

    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir_->path());
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QString::fromStdString(path_ + "/velsmoor"), {});
    RunResult r;
    if (!p.waitForStarted(5000)) throw std::runtime_error("the program did not start");
    r.finished = p.waitForFinished(runMs);
    if (!r.finished) {
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    } else {
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    r.stderrText = p.readAllStandardError().toStdString();
    r.boxes = boxesIn(r.stderrText);
    r.libraryCalls = readLines(log);
    return r;
}

} // namespace e2e
