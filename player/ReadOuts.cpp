#include "player/ReadOuts.h"

#include <stdexcept>
#include <string>

#include "forms/Controls.h"
#include "player/TrackList.h"

namespace player {

namespace {

void setPair(forms::Label* a, forms::Label* b, const std::string& text) {
    a->setCaption(text);
    b->setCaption(text);
}

} // namespace

ReadOuts::ReadOuts(Player& player, const ReadOutLabels& labels) : player_(player), l_(labels) {
    bool complete = l_.lblTrackNro && l_.lblTrackNro2 && l_.lblOrgTime && l_.lblOrgTime2 && l_.lblTime && l_.lblTime2;
    for (forms::Label* m : l_.markers) complete = complete && m;
    if (!complete) throw std::invalid_argument("read-outs: a label of the main window is missing");
    listening_ = player_.listen([this](Change c) { show(c); });
}

ReadOuts::~ReadOuts() { player_.unlisten(listening_); }

void ReadOuts::show(Change change) {
    const PlayerState& s = player_.state();
    switch (change) {
    case Change::TrackNumber: setPair(l_.lblTrackNro, l_.lblTrackNro2, std::to_string(s.trackIndex)); break;
    case Change::TrackLength: setPair(l_.lblOrgTime, l_.lblOrgTime2, std::to_string(s.trackLength)); break;
    case Change::Elapsed: setPair(l_.lblTime, l_.lblTime2, std::to_string(s.elapsedSeconds)); break;
    case Change::Marker: {
        for (forms::Label* marker : l_.markers) marker->setVisible(false);
        const std::int16_t i = s.trackIndex;
        const std::size_t shown = (i >= 1 && i <= kLastTrack) ? static_cast<std::size_t>(i) : 0;
        l_.markers[shown]->setVisible(true);
        break;
    }
    case Change::Cleared:
        for (forms::Label* l :
            {l_.lblTime, l_.lblTime2, l_.lblOrgTime, l_.lblOrgTime2, l_.lblTrackNro, l_.lblTrackNro2})
            l->setCaption("...");
        break;
    case Change::Transport: break;
    }
}

} // namespace player
