// The generated mods/ folder: names, types, titles and lengths, and that the
// composer reproduces every file byte for byte.
#include "Render.h"
#include "Tracks.h"

#include "Composer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

const std::filesystem::path kModsDir = VELSMOOR_MODS_DIR;

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CatalogueFile : public ::testing::TestWithParam<musictest::Track> {};

TEST_P(CatalogueFile, OpensWithItsTypeTitleAndLength) {
    const musictest::Track& t = GetParam();
    const auto path = kModsDir / t.file;
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
    auto m = musictest::loadFile(path);
    EXPECT_EQ(m->get_metadata("type"), t.type);
    EXPECT_EQ(m->get_metadata("title"), t.title);
    EXPECT_EQ(m->get_num_subsongs(), 1);
    EXPECT_NEAR(m->get_duration_seconds(), t.seconds, 1.0);
}

TEST_P(CatalogueFile, ComposerRecreatesTheSameBytes) {
    const musictest::Track& t = GetParam();
    const auto& tunes = composer::catalogue();
    const auto tuneSpec = std::find_if(tunes.begin(), tunes.end(), [&](const composer::TuneSpec& s) { return std::string(s.file) == t.file; });
    ASSERT_NE(tuneSpec, tunes.end());
    // The build wrote mods/ in another process: equal bytes here show the composer is deterministic.
    EXPECT_EQ(modwriter::writeSong(composer::composeTrack(*tuneSpec, VELSMOOR_SCORES_DIR), composer::formatOf(*tuneSpec)), readFile(kModsDir / t.file));
}

TEST_P(CatalogueFile, EveryLoopJoinsWithoutAStep) {
    const musictest::Track& t = GetParam();
    const auto& tunes = composer::catalogue();
    const auto tuneSpec = std::find_if(tunes.begin(), tunes.end(), [&](const composer::TuneSpec& s) { return std::string(s.file) == t.file; });
    ASSERT_NE(tuneSpec, tunes.end());
    // A looped sample clicks once a cycle when its end does not run on into its start: the step
    // across the join must be no bigger than the steps inside the loop.
    for (const modwriter::Sample& s : composer::composeTrack(*tuneSpec, VELSMOOR_SCORES_DIR).samples) {
        if (!s.loop) continue;
        int inside = 0;
        for (std::uint32_t i = s.loopStart + 1; i < s.loopEnd; ++i) inside = std::max(inside, std::abs(s.data[i] - s.data[i - 1]));
        EXPECT_LE(std::abs(s.data[s.loopStart] - s.data[s.loopEnd - 1]), inside) << s.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Tracks, CatalogueFile, ::testing::ValuesIn(musictest::kTracks),
                         [](const auto& info) { return "Track" + std::to_string(info.index); });

TEST(Catalogue, HoldsExactlyTheEighteenTracksInOrder) {
    const auto& tunes = composer::catalogue();
    ASSERT_EQ(tunes.size(), musictest::kTracks.size());
    for (std::size_t i = 0; i < tunes.size(); ++i) {
        EXPECT_STREQ(tunes[i].file, musictest::kTracks[i].file);
        EXPECT_EQ(tunes[i].seconds, musictest::kTracks[i].seconds);
    }
    const std::filesystem::directory_iterator files(kModsDir);
    EXPECT_EQ(std::distance(begin(files), end(files)), 18);
}

TEST(Catalogue, TunesDifferInKeyTempoAndSound) {
    const auto& tunes = composer::catalogue();
    for (std::size_t i = 0; i < tunes.size(); ++i) {
        for (std::size_t j = i + 1; j < tunes.size(); ++j) {
            const auto& a = tunes[i];
            const auto& b = tunes[j];
            const bool sameSetting = a.root == b.root && a.mode == b.mode && a.tempo == b.tempo;
            const bool sameSound = a.lead == b.lead && a.pad == b.pad && a.bassTone == b.bassTone && a.groove == b.groove;
            EXPECT_FALSE(sameSetting || sameSound) << a.file << " and " << b.file;
        }
    }
}

}  // namespace
