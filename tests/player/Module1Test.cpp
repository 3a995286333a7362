// Error texts, the error box and the version read-out.
#include <climits>
#include <map>

#include "PlayerFixture.h"
#include "player/Module1.h"

namespace playertest {
namespace {

const std::map<std::int32_t, std::string> kTexts = {
    {-1, "Some Other Mystery Error"},
    {0, "All is OK"},
    {1, "Memory Error"},
    {2, "Can't Open the File"},
    {3, "Can't Find a Free Sound Driver"},
    {5, "Invalid Handle"},
    {6, "Unsupported Format"},
    {7, "Invalid Playback Position"},
    {8, "BASS_Init Has Not Been Successfully Called"},
    {14, "Already Initialized"},
    {16, "Not Paused"},
    {19, "An Illegal Type Was Specified"},
    {20, "An Illegal Parameter Was Specified"},
    {23, "Illegal Device Number"},
    {24, "Not Playing"},
};

TEST(ErrorText, EveryCodeFromMinusFiveToFortyAndTheExtremes) {
    for (std::int32_t code = -5; code <= 40; ++code) {
        const auto it = kTexts.find(code);
        EXPECT_EQ(player::ErrorText(code), it == kTexts.end() ? "" : it->second) << "code " << code;
    }
    EXPECT_EQ(player::ErrorText(INT32_MIN), "");
    EXPECT_EQ(player::ErrorText(INT32_MAX), "");
    EXPECT_EQ(player::ErrorText(65536 + 2), "") << "codes are compared whole, not by low word";
}

struct Word {
    std::int32_t value, low, high;
};

TEST(Words, LowAndHighHalves) {
    const Word words[] = {
        {0, 0, 0},
        {1, 1, 0},
        {0x00060001, 1, 6},
        {0x003C0001, 1, 60},
        {0xFFFF, 0xFFFF, 0},
        {0x10000, 0, 1},
        {INT32_MAX, 0xFFFF, 0x7FFF},
        {-1, 0xFFFF, 0}, // the quotient truncates toward zero
        {-65535, 1, 0},
        {-65536, 0, 0xFFFF},
        {-65537, 0xFFFF, 0xFFFF},
        {INT32_MIN, 0, 0x8000},
    };
    for (const Word& w : words) {
        EXPECT_EQ(player::LowWord(w.value), w.low) << w.value;
        EXPECT_EQ(player::HighWord(w.value), w.high) << w.value;
    }
}

TEST(VersionText, MajorPointMinorFromTwoQueries) {
    Log log;
    FakeModuleLibrary library(log);
    const std::pair<std::uint32_t, std::string> cases[] = {{0x00060001, "1.6"}, {0x003C0001, "1.60"},
        {0x00000002, "2.0"}, {0xFFFFFFFF, "65535.0"}, {0x80000000, "0.32768"}};
    for (const auto& [version, text] : cases) {
        library.version = version;
        log.clear();
        EXPECT_EQ(player::VersionText(library), text);
        EXPECT_EQ(log, (Log{"GetVersion", "GetVersion"}));
    }
}

TEST(VersionText, LowHalfFromTheFirstAnswerHighHalfFromTheSecond) {
    Log log;
    struct Changing : FakeModuleLibrary {
        using FakeModuleLibrary::FakeModuleLibrary;
        int calls = 0;
        std::uint32_t GetVersion() override { return ++calls == 1 ? 0x00070001u : 0x00060007u; }
    } library(log);
    EXPECT_EQ(player::VersionText(library), "1.6");
}

struct BoxCase {
    std::int32_t code;
    std::string text;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.code; }

class ThrowErrorTest : public PlayerFixture, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(ThrowErrorTest, BuildsTheBoxTextExactly) {
    library.lastError = GetParam().code;
    player->ThrowError("Can't Load Music");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, GetParam().text);
    EXPECT_EQ(box.shown[0].title, "Error");
    EXPECT_EQ(log.front(), "ErrorGetCode") << "the code is asked for before the box";
}

INSTANTIATE_TEST_SUITE_P(Codes, ThrowErrorTest,
    ::testing::Values(BoxCase{-1, "Can't Load Music\r\n\r\nError Code : -1\r\nSome Other Mystery Error"},
        BoxCase{0, "Can't Load Music\r\n\r\nError Code : 0\r\nAll is OK"},
        BoxCase{2, "Can't Load Music\r\n\r\nError Code : 2\r\nCan't Open the File"},
        BoxCase{4, "Can't Load Music\r\n\r\nError Code : 4\r\n"},
        BoxCase{25, "Can't Load Music\r\n\r\nError Code : 25\r\n"}),
    [](const auto& info) {
        return info.param.code < 0 ? "Minus" + std::to_string(-info.param.code)
                                   : "Code" + std::to_string(info.param.code);
    });

TEST_F(PlayerFixture, ThrowErrorLetsAnUnreachableLibraryPass) {
    library.throwOnErrorCode = true;
    EXPECT_THROW(player->ThrowError("Can't play music"), player::LibraryError);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_FALSE(player->errorBoxOpen());
}

} // namespace
} // namespace playertest
