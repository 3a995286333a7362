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

} // namespace

std::vector<std::string> readLines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> boxesIn(const std::string& err) {
    std::vector<std::string> boxes;
    std::size_t at = err.find(kBoxPrefix);
    while (at != std::string::npos) {
        const std::size_t start = at + std::string(kBoxPrefix).size();
        const std::size_t next = err.find(kBoxPrefix, start);
        std::string text = err.substr(start, next == std::string::npos ? std::string::npos : next - start);
        boxes.push_back(text);
        at = next;
    }
    return boxes;
}

ProgramFolder::ProgramFolder(const std::string& name) : dir_(std::make_unique<QTemporaryDir>()) {
    if (!dir_->isValid()) throw std::runtime_error("no scratch folder");
    path_ = dir_->path().toStdString() + "/" + name;
    fs::create_directory(path_);
    fs::copy_file(E2E_PROGRAM, path_ + "/velsmoor");
    launcher_ = path_ + "/velsmoor";
    // A process is started by a name given as text; a folder name that is no valid text is
    // reached through a link, which the system resolves to the program's real folder.
    if (QString::fromUtf8(launcher_.c_str()).toUtf8().toStdString() != launcher_) {
        launcher_ = dir_->path().toStdString() + "/velsmoor-link";
        fs::create_symlink(path_ + "/velsmoor", launcher_);
    }
}

ProgramFolder::~ProgramFolder() {
    // Removed by its bytes: QTemporaryDir walks the tree by text and leaves behind a folder
    // whose name is no valid text, with the program and its music in it.
    std::error_code ignored;
    fs::remove_all(dir_->path().toStdString(), ignored);
}

void ProgramFolder::addFakeLibrary(const std::string& fakeName) {
    fs::copy_file(std::string(E2E_FAKES_DIR) + "/" + fakeName + "/libbassmod.so", path_ + "/libbassmod.so");
}

void ProgramFolder::addRealLibrary() { fs::copy_file(E2E_REAL_LIBRARY, path_ + "/libbassmod.so"); }

void ProgramFolder::addMods() { fs::copy(E2E_MODS_DIR, path_ + "/mods", fs::copy_options::recursive); }

std::string ProgramFolder::callLog() const { return dir_->path().toStdString() + "/calls.log"; }

RunResult ProgramFolder::run(int runMs, const EnvChanges& extraEnv,
    const std::function<bool(const std::string&)>& settled) const {
    const std::string log = callLog();
    fs::remove(log);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("QT_QPA_PLATFORMTHEME");
    env.insert("VELSMOOR_AUTO_DISMISS_MS", "300");
    env.insert("FAKE_BASSMOD_LOG", QString::fromStdString(log));
    env.insert("SDL_AUDIODRIVER", "dummy");
    for (const auto& [k, v] : extraEnv) {
        if (v) env.insert(QString::fromStdString(k), QString::fromStdString(*v));
        else env.remove(QString::fromStdString(k));
    }

    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir_->path());
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(QString::fromStdString(launcher_), {});
    RunResult r;
    if (!p.waitForStarted(5000)) throw std::runtime_error("the program did not start");
    r.finished = p.waitForFinished(runMs);
    if (!r.finished && settled) {
        for (int waited = 0; waited < 30000 && !r.finished; waited += 100) {
            r.stderrText += p.readAllStandardError().toStdString();
            if (settled(r.stderrText)) break;
            r.finished = p.waitForFinished(100);
        }
        if (!r.finished) r.finished = p.waitForFinished(500);
    }
    if (!r.finished) {
        p.terminate();
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    } else {
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    r.stderrText += p.readAllStandardError().toStdString();
    r.boxes = boxesIn(r.stderrText);
    r.libraryCalls = readLines(log);
    return r;
}

} // namespace e2e
