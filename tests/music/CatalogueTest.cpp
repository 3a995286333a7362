// The generated mods/ folder: names, types, titles and lengths, and that the
// composer reproduces every file byte for byte.
#include "Render.h"

#include "Composer.h"
#include "Realise.h"
#include "Score.h"

#include "player/TrackList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

const std::filesystem::path kModsDir = VELSMOOR_MODS_DIR;

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The module type libopenmpt reports for a file name's extension.
std::string typeOf(std::string_view file) {
    std::string type(file.substr(file.rfind('.') + 1));
    for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return type;
}

class CatalogueFile : public ::testing::TestWithParam<player::Track> {};

TEST_P(CatalogueFile, OpensWithItsTypeTitleAndLength) {
    const player::Track& t = GetParam();
    const auto path = kModsDir / t.file;
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
    auto m = musictest::loadFile(path);
    EXPECT_EQ(m->get_metadata("type"), typeOf(t.file));
    EXPECT_EQ(m->get_metadata("title"), t.moduleTitle);
    EXPECT_EQ(m->get_num_subsongs(), 1);
    EXPECT_NEAR(m->get_duration_seconds(), t.length, 1.0);
}

TEST_P(CatalogueFile, ComposerRecreatesTheSameBytes) {
    const player::Track& t = GetParam();
    const composer::TuneSpec* tuneSpec = composer::findTune(std::string(t.file));
    ASSERT_NE(tuneSpec, nullptr);
    // The build wrote mods/ in another process: equal bytes here show the composer is deterministic.
    EXPECT_EQ(
        modwriter::writeSong(composer::composeTrack(*tuneSpec, VELSMOOR_SCORES_DIR), composer::formatOf(*tuneSpec)),
        readFile(kModsDir / t.file));
}

TEST_P(CatalogueFile, EveryLoopJoinsWithoutAStep) {
    const player::Track& t = GetParam();
    const composer::TuneSpec* tuneSpec = composer::findTune(std::string(t.file));
    ASSERT_NE(tuneSpec, nullptr);
    // A looped sample clicks once a cycle when its end does not run on into its start: the step
    // across the join must be no bigger than the steps inside the loop.
    for (const modwriter::Sample& s : composer::composeTrack(*tuneSpec, VELSMOOR_SCORES_DIR).samples) {
        if (!s.loop) continue;
        int inside = 0;
        for (std::uint32_t i = s.loopStart + 1; i < s.loopEnd; ++i)
            inside = std::max(inside, std::abs(s.data[i] - s.data[i - 1]));
        EXPECT_LE(std::abs(s.data[s.loopStart] - s.data[s.loopEnd - 1]), inside) << s.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Tracks, CatalogueFile, ::testing::ValuesIn(player::kTrackList),
    [](const auto& info) { return "Track" + std::to_string(info.index); });

TEST(Catalogue, HoldsExactlyTheEighteenTracksInOrder) {
    const auto& tunes = composer::catalogue();
    ASSERT_EQ(tunes.size(), player::kTrackList.size());
    for (std::size_t i = 0; i < tunes.size(); ++i) {
        EXPECT_EQ(tunes[i].file, player::kTrackList[i].file);
        EXPECT_EQ(tunes[i].seconds, player::kTrackList[i].length);
        EXPECT_EQ(tunes[i].title, player::kTrackList[i].moduleTitle);
    }
    const std::filesystem::directory_iterator files(kModsDir);
    EXPECT_EQ(std::distance(begin(files), end(files)), 18);
}

TEST(Catalogue, TunesDifferInKeyTempoAndSound) {
    std::vector<composer::score::Score> scores;
    for (const auto& t : composer::catalogue())
        scores.push_back(composer::score::load(composer::scorePath(VELSMOOR_SCORES_DIR, t.file)));
    // Two tunes with one key and tempo, or with one set of instruments, are one tune twice.
    const auto sound = [](const composer::score::Score& s) {
        std::vector<std::pair<std::string, std::map<std::string, double>>> out;
        for (const auto& i : s.instruments) out.push_back({i.kind, i.num});
        return out;
    };
    for (std::size_t i = 0; i < scores.size(); ++i) {
        for (std::size_t j = i + 1; j < scores.size(); ++j) {
            const auto& a = scores[i];
            const auto& b = scores[j];
            EXPECT_FALSE(a.key == b.key && a.tempo == b.tempo) << a.file << " and " << b.file;
            EXPECT_NE(sound(a), sound(b)) << a.file << " and " << b.file;
        }
    }
}

// A score with a mistake names its file and line, and its tune gets no module.
TEST(Score, AMistakeNamesItsFileAndLineAndWritesNoModule) {
    const std::string good = "title Test\n"                            // 1
                             "file TEST.IT\n"                          // 2
                             "format IT\n"                             // 3
                             "tempo 120\n"                             // 4
                             "speed 6\n"                               // 5
                             "seconds 4\n"                             // 6
                             "instrument lead tone wave=square\n"      // 7
                             "  volenv 0:64 10:40*\n"                  // 8
                             "instrument kick kick\n"                  // 9
                             "voice lead lead pan=20\n"                // 10
                             "voice pad lead channels=2\n"             // 11
                             "voice kit -\n"                           // 12
                             "kit\n"                                   // 13
                             "  k kick 60\n"                           // 14
                             "progression p\n"                         // 15
                             "  | Am F | C G7 |\n"                     // 16
                             "comp c p arp 1 2 3 /8 around=A4\n"       // 17
                             "phrase a\n"                              // 18
                             "  v40 A4:4 C5:8 D5 E5:2 | <A4 C5>:1 |\n" // 19
                             "groove g\n"                              // 20
                             "  kit k...k...\n"                        // 21
                             "section s 2\n"                           // 22
                             "  pad a\n"                               // 23
                             "  drums g*4\n"                           // 24
                             "order s\n";                              // 25
    ASSERT_NO_THROW(composer::score::parse(good, "TEST.score"));

    const auto line = [&](int n, const std::string& text) {
        std::string s = good;
        std::size_t start = 0;
        for (int i = 1; i < n; ++i) start = s.find('\n', start) + 1;
        return s.replace(start, s.find('\n', start) - start, text);
    };
    const struct {
        std::string text;
        int line;
        const char* says;
    } cases[] = {
        {line(19, "  v40 H4:4 C5:8 D5 E5:2 | <A4 C5>:1 |"), 19, "not a pitch"},
        {line(19, "  v40 A4:4 C5:8 D5 E5:4 | <A4 C5>:1 |"), 19, "bar line"},
        {line(19, "  v40 A4:4 C5:8 D5 E5:2 | <A4 C5 E5>:1 |"), 23, "needs 3 channels"},
        {line(19, "  v40 A4:3 C5:8 D5 E5:2 | <A4 C5>:1 |"), 19, "note value"},
        {line(19, "  v40 A4:4{H4} C5:8 D5 E5:2 | <A4 C5>:1 |"), 19, "two hex digits"},
        {line(10, "voice lead flute pan=20"), 10, "no instrument 'flute'"},
        {line(6, "seconds 5"), 25, "the header says 5 s"},
        {line(21, "  kit k...x..."), 21, "no hit 'x'"},
        {line(17, "comp c p arp 1 2 4 /8 around=A4"), 17, "note 4"},
        {line(16, "  | Am F | C Gx7 |"), 16, "no chord kind 'x7'"},
        {line(16, "  | Am F E | C G7 |"), 16, "cannot be shared by 3"},
        {line(8, "  volenv 10:64 0:40*"), 8, "starts at tick 0"},
        {line(23, "  pad b"), 23, "no phrase 'b'"},
        {line(24, "  drums g*5"), 24, "the section has 32"},
        {line(25, "order s t"), 25, "no section 't'"},
        {line(5, "speed 6\neq tilt=1 400"), 6, "eq takes tilt=DB and HZ:DB bells"},
        {line(3, "format S3M"), 8, "envelopes are for IT"},
        {[&] {
             std::string s = line(10, "voice lead lead pan=20 volume=40");
             s.replace(s.find("file TEST.IT"), 12, "file TEST.S3M");
             s.replace(s.find("format IT"), 9, "format S3M");
             s.replace(s.find("  volenv 0:64 10:40*"), 20, "  attack=0.01");
             return s;
         }(),
            10, "volume is IT only"},
    };
    for (const auto& c : cases) {
        try {
            composer::score::realise(composer::score::parse(c.text, "TEST.score"));
            ADD_FAILURE() << "no error for line " << c.line << ", expected: " << c.says;
        } catch (const composer::score::Error& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind("TEST.score:" + std::to_string(c.line) + ": ", 0), 0u) << what;
            EXPECT_NE(what.find(c.says), std::string::npos) << what;
        }
    }

    // Through the composer: a broken score of the catalogue leaves its module out, and says where.
    const auto dir = std::filesystem::temp_directory_path() / ("velsmoor-score-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "scores");
    for (const auto& t : composer::catalogue()) {
        std::filesystem::copy_file(composer::scorePath(VELSMOOR_SCORES_DIR, t.file),
            composer::scorePath(dir / "scores", t.file));
    }
    std::ofstream(dir / "scores" / "FLICK.score", std::ios::trunc)
        << line(19, "  v40 A4:4 C5:8 D5 E5:2 | <A4 C5>:1 |") << "bogus\n";
    // The tune list owns the title and length: the scores leave them out, and a score that
    // writes a title differing from the list's is a mistake on that line.
    const auto insertAfterFile = [&](const std::string& score, const std::string& header) {
        std::ifstream in(dir / "scores" / score);
        std::string out, text;
        int number = 0, inserted = 0;
        while (std::getline(in, text)) {
            out += text + "\n";
            ++number;
            if (!inserted && text.rfind("file", 0) == 0) {
                out += header + "\n";
                inserted = ++number;
            }
        }
        std::ofstream(dir / "scores" / score, std::ios::trunc) << out;
        return inserted;
    };
    const int rustTitle = insertAfterFile("RUST.score", "title   Rusty");
    std::vector<std::string> errors;
    EXPECT_EQ(composer::writeCatalogue(dir / "mods", dir / "scores", errors), 16);
    EXPECT_FALSE(std::filesystem::exists(dir / "mods" / "FLICK.S3M"));
    EXPECT_FALSE(std::filesystem::exists(dir / "mods" / "RUST.S3M"));
    EXPECT_EQ(readFile(dir / "mods" / "HGLASS.IT"), readFile(kModsDir / "HGLASS.IT"));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].rfind((dir / "scores" / "RUST.score").string() + ":" + std::to_string(rustTitle) + ": ", 0), 0u)
        << errors[0];
    EXPECT_NE(errors[0].find("\"Rust\""), std::string::npos) << errors[0];
    EXPECT_EQ(errors[1].rfind((dir / "scores" / "FLICK.score").string() + ":26: ", 0), 0u) << errors[1];
    std::filesystem::remove_all(dir);
}

} // namespace
