#include "player/Player.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "player/Module1.h"
#include "player/TrackList.h"

namespace player {

namespace {

constexpr std::uint32_t kSurroundFlag = 512;
constexpr std::uint32_t kOutputRate = 44100;
constexpr std::int32_t kDefaultDevice = -1;

void checkTrackIndex(std::int16_t index) {
    if (index < 0 || index >= static_cast<std::int16_t>(kTrackCount)) throw std::out_of_range("Subscript out of range");
}

} // namespace

Player::Player(Environment env, PlayerControls controls) : env_(std::move(env)), c_(controls) {}

int Player::listen(Listener listener) {
    const int id = nextListener_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void Player::unlisten(int id) { listeners_.erase(id); }

// A listener may come or go while the others are told; one that went is not told.
void Player::tell(Change change) {
    std::vector<int> ids;
    ids.reserve(listeners_.size());
    for (const auto& [id, listener] : listeners_) ids.push_back(id);
    for (int id : ids) {
        const auto it = listeners_.find(id);
        if (it == listeners_.end()) continue;
        const Listener listener = it->second;
        if (listener) listener(change);
    }
}

bool Player::Form_Load() {
    c_.btnExit->setVisible(false);
    c_.btnInfo->setVisible(false);

    state_.trackIndex = 0;
    Tunes();

    c_.Timer1->setInterval(30);
    c_.Timer2->setInterval(75);
    c_.Timer3->setInterval(5500);
    c_.Timer4->setInterval(75);
    c_.tmrBass->setInterval(1000);

    c_.Timer4->setEnabled(true);
    c_.Timer2->setEnabled(false);
    c_.tmrBass->setEnabled(true);

    c_.lbl1->setVisible(true);
    c_.lbl1->setCaption(kProgramTitle);

    if (VersionText(*env_.library) != kRequiredVersion) {
        ThrowError("BASSMOD version 1.6 was not loaded");
        return false;
    }
    if (env_.library->Init(kDefaultDevice, kOutputRate, 0) == 0) {
        ThrowError("Can't initialize digital sound system");
        return false;
    }

    if (env_.setCurrentDirectory) env_.setCurrentDirectory(env_.programDir);

    c_.Timer1->setEnabled(true);
    c_.Timer3->setEnabled(true);

    startCurrentTrack();
    return true;
}

void Player::Tunes() {
    checkTrackIndex(state_.trackIndex);
    state_.trackFile = std::string(kTrackList[static_cast<std::size_t>(state_.trackIndex)].file);
    tell(Change::TrackNumber);
}

void Player::Times() {
    checkTrackIndex(state_.trackIndex);
    state_.trackLength = kTrackList[static_cast<std::size_t>(state_.trackIndex)].length;
    tell(Change::TrackLength);
}

// Every step runs even when an earlier one failed: a bad step is skipped, never fatal.
void Player::Load() {
    try {
        Tunes();
    } catch (const std::exception&) {
    }

    state_.elapsedSeconds = 0;

    bool failed = false;
    try {
        // Both parts are already bytes in the system's encoding, which is what the library
        // opens files by.
        const std::string path = env_.programDir + "/mods/" + state_.trackFile;
        failed = env_.library->MusicLoad(0, path.c_str(), 0, 0, kSurroundFlag) == 0;
    } catch (const std::exception&) {
        failed = true;
    }
    if (failed) {
        try {
            ThrowError("Can't Load Music");
        } catch (const std::exception&) {
        }
    }
}

// The player counts as playing even when the library did not start: the stored length is
// then counted in silence and the next track follows as usual.
void Player::Play() {
    try {
        if (env_.library->MusicPlay() == 0) ThrowError("Can't play music");
    } catch (const std::exception&) {
    }

    state_.isPlaying = kTrue;
    c_.tmrBass->setEnabled(true);
    Times();

    tell(Change::Elapsed);
    tell(Change::TrackLength);
}

void Player::Playing() { tell(Change::Marker); }

void Player::ThrowError(const std::string& message) {
    const std::int32_t code = env_.library->ErrorGetCode();
    const std::string text = message + "\r\n\r\n" + "Error Code : " + std::to_string(code) + "\r\n" + ErrorText(code);

    struct OpenBox {
        int& count;
        explicit OpenBox(int& c) : count(c) { ++count; }
        ~OpenBox() { --count; }
    } open(boxesOpen_);
    env_.errorBox->show(text, "Error");
}

void Player::freeModuleIgnoringErrors() {
    try {
        env_.library->MusicFree();
    } catch (const LibraryError&) {
    }
}

void Player::startCurrentTrack() {
    Load();
    Play();
    Playing();
    tell(Change::Transport);
}

void Player::btnPrev_Click() {
    if (state_.trackIndex > 0) {
        freeModuleIgnoringErrors();
        --state_.trackIndex;
        startCurrentTrack();
    } else {
        state_.trackIndex = 0;
    }
}

void Player::btnPlay_Click() {
    if (state_.isPlaying == kFalse) startCurrentTrack();
}

void Player::btnNext_Click() {
    if (state_.trackIndex < kLastTrack) {
        freeModuleIgnoringErrors();
        ++state_.trackIndex;
        startCurrentTrack();
    } else {
        state_.trackIndex = kLastTrack;
    }
}

void Player::btnStop_Click() {
    freeModuleIgnoringErrors();
    state_.isPlaying = kFalse;
    c_.tmrBass->setEnabled(false);
    tell(Change::Cleared);
    tell(Change::Transport);
}

void Player::TuneClick(std::int16_t index) {
    freeModuleIgnoringErrors();
    state_.trackIndex = index;
    Tunes();
    startCurrentTrack();
}

void Player::tmrBass_Timer() {
    // An error box runs its own event loop; a tick arriving under it would start another
    // track behind the box (even after a failed start-up), so it is let go.
    if (errorBoxOpen()) return;

    Times();
    if (state_.elapsedSeconds < state_.trackLength) {
        ++state_.elapsedSeconds;
        tell(Change::Elapsed);
    } else if (state_.trackIndex < kLastTrack) {
        freeModuleIgnoringErrors();
        ++state_.trackIndex;
        startCurrentTrack();
    } else {
        // After the last track the index goes back to the intro without loading it; the next
        // tick finds the intro's length already counted and moves straight on to track 1.
        state_.trackIndex = 0;
        tell(Change::Transport);
    }
}

} // namespace player
