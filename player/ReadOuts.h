// The window's read-outs of the player: track number, length and seconds counted, each with its
// shadow twin, and the tune list's marker. They follow the player's announcements.
#pragma once

#include <array>

#include "player/Player.h"

namespace forms {
class Label;
}

namespace player {

struct ReadOutLabels {
    forms::Label* lblTrackNro = nullptr;
    forms::Label* lblTrackNro2 = nullptr;
    forms::Label* lblOrgTime = nullptr;
    forms::Label* lblOrgTime2 = nullptr;
    forms::Label* lblTime = nullptr;
    forms::Label* lblTime2 = nullptr;
    std::array<forms::Label*, 17> markers{}; // c1..c17
};

class ReadOuts {
public:
    // Throws std::invalid_argument when a label is missing.
    ReadOuts(Player& player, const ReadOutLabels& labels);
    ~ReadOuts();
    ReadOuts(const ReadOuts&) = delete;
    ReadOuts& operator=(const ReadOuts&) = delete;

private:
    void show(Change change);

    Player& player_;
    ReadOutLabels l_;
    int listening_;
};

} // namespace player
