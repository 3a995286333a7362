// The track catalogue as Tunes, Times and Playing show it.
#include "PlayerFixture.h"

namespace playertest {
namespace {

struct Row {
    std::int16_t index;
    const char* file;
    std::int16_t length;
    const char* title;
    const char* marker;
};

// Written out independently of the program's own table.
const Row kRows[] = {
    {0, "HGLASS.IT", 191, "Harbour of Glass", "c1"},
    {1, "MWDRIFT.IT", 230, "Moonwalker Drift", "c2"},
    {2, "QENGINE.IT", 210, "Quiet Engines", "c3"},
    {3, "RUST.S3M", 225, "Rust", "c4"},
    {4, "LOWORBIT.S3M", 271, "Low Orbit", "c5"},
    {5, "TYL.S3M", 215, "Tie your laces tight", "c6"},
    {6, "TLO-TIDE.S3M", 198, "The Long Tide", "c7"},
    {7, "--UNDER-.IT", 226, "Undertow", "c8"},
    {8, "1_SATRN.IT", 196, "Poker Under Saturn", "c9"},
    {9, "FSHORE.IT", 249, "Arrival: Far Shore", "c10"},
    {10, "EVDEIM.IT", 216, "The Evenings of Deimos", "c11"},
    {11, "GLIDING.IT", 409, "/Gliding Past Noon/", "c12"},
    {12, "IRONCOUR.IT", 237, "Iron Age Courier", "c13"},
    {13, "TSOMS.IT", 218, "TheSongsOfMySleep", "c14"},
    {14, "FLICK.S3M", 115, "<flicker>", "c15"},
    {15, "PAWALMPL.S3M", 399, "Papa Was A Lamp Lighter", "c16"},
    {16, "I-P-K.S3M", 252, "Ikkunanpesukone", "c17"},
    {17, "X_HEAVY.IT", 137, "", "c1"},
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.file; }

class TrackRowTest : public PlayerFixture, public ::testing::WithParamInterface<Row> {};

TEST_P(TrackRowTest, TunesTimesAndPlayingFollowTheIndex) {
    const Row& row = GetParam();
    state().trackIndex = row.index;

    player->Tunes();
    EXPECT_EQ(state().trackFile, row.file);
    EXPECT_EQ(controls.lblTrackNro->Caption(), std::to_string(row.index));
    EXPECT_EQ(controls.lblTrackNro2->Caption(), std::to_string(row.index));

    player->Times();
    EXPECT_EQ(state().trackLength, row.length);
    EXPECT_EQ(controls.lblOrgTime->Caption(), std::to_string(row.length));
    EXPECT_EQ(controls.lblOrgTime2->Caption(), std::to_string(row.length));

    player->Playing();
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{row.marker});

    const auto& track = player::kTrackList[static_cast<std::size_t>(row.index)];
    EXPECT_EQ(track.title, row.title);
    if (row.index < 17) {
        EXPECT_EQ(player::kTuneTitles[static_cast<std::size_t>(row.index)], row.title);
        EXPECT_EQ(track.titleLabel, row.index == 0 ? "Intro" : "Tune" + std::to_string(row.index));
    }
    EXPECT_TRUE(log.empty()) << "the catalogue never calls the library";
}

INSTANTIATE_TEST_SUITE_P(AllRows, TrackRowTest, ::testing::ValuesIn(kRows),
    [](const auto& info) { return "Row" + std::to_string(info.param.index); });

class OutOfRangeTest : public PlayerFixture, public ::testing::WithParamInterface<std::int16_t> {};

// Tunes and Times raise and write nothing, Playing marks the intro, and Load skips the failing
// steps and goes on, loading the last selected file.
TEST_P(OutOfRangeTest, ChangesNothingButTheStepsThatCannotFail) {
    state().trackIndex = 3;
    player->Tunes();
    player->Times();
    state().elapsedSeconds = 40;
    state().trackIndex = GetParam();
    const auto before = readOuts();
    EXPECT_THROW(player->Tunes(), std::out_of_range);
    EXPECT_THROW(player->Times(), std::out_of_range);
    EXPECT_EQ(readOuts(), before);

    player->Load();
    EXPECT_EQ(state().elapsedSeconds, 0);
    EXPECT_EQ(log, Log{loadCall("RUST.S3M")});
    EXPECT_EQ(controls.lblTrackNro->Caption(), "3");
    player->Playing();
    EXPECT_EQ(visibleMarkers(), std::vector<std::string>{"c1"});
}

INSTANTIATE_TEST_SUITE_P(Indices, OutOfRangeTest,
    ::testing::Values(std::int16_t{-1}, std::int16_t{18}, std::int16_t{-32768}, std::int16_t{32767}));

TEST(TrackListTable, SeventeenTitlesInTheList) { EXPECT_EQ(player::kTuneTitles.size(), 17u); }

} // namespace
} // namespace playertest
