// The message texts, byte for byte, and which of them are accent messages.
#include <gtest/gtest.h>

#include "effects/Effects.h"
#include "effects/MessageTable.h"

namespace effects::test {
namespace {

TEST(MessageTable, HoldsTheThirtyFiveTextsExactly) {
    const char* const expected[35] = {
        "",
        "This can't be good for me!",
        "What?",
        "Drelkin's first release ever!",
        "We are soooooo... fucked!",
        "...",
        "The real credits are about to come in a second ...",
        "",
        "Kon ichi wa!",
        "Have you ever wondered why they say that first birth is the hardest one?",
        "Everybody just tell you so ...",
        "... But when you face it by yourself ... ",
        "... Only then you are able to say what it's all about",
        "...",
        "Away with that philosophic crap!",
        "",
        "We are proud to present our first prod to you",
        "This ModDisk shows some of our talents in arts category",
        "We hope that you'll enjoy watching and listening our innovations",
        "Code : Vesko and Tilde",
        "Audio Engineering : Marrow",
        "Gfx Proletarian : Tilde",
        "Swapper/Idler/Organizer : Vesko",
        "Greetings to :",
        "Kasper, Ilona, Jori, Mebbe, Sauli, Pirta, Otso, Runa, Tessu, Hakon ...",
        "... Lumi, Veikka, Aune ...",
        "... Ashgrove, Pale Circuit, Nordvolt, Kettle Crew, Brimstone Ink, Halcyon 9, Orbweavers ...",
        "... And all the rest of you guys we forgot to mention ...",
        "We would also like to thank our families for helping us in every way",
        "You guys are the best!",
        "",
        "This project is owned for all the freelancers out there ...",
        "Just hang in there, fellas ...",
        "",
        "Velsmoor, Part I",
    };
    const auto& table = messageTexts();
    ASSERT_EQ(table.size(), 35u);
    for (std::size_t i = 0; i < 35; ++i) EXPECT_EQ(table[i], expected[i]) << "entry " << i;
    EXPECT_EQ(table[11].back(), ' ');
}

TEST(MessageTable, EntriesAreAsciiWithoutLineBreaks) {
    for (const std::string& m : messageTexts())
        for (unsigned char ch : m) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << m;
}

TEST(MessageTable, AccentMessagesAreExactlyTheFive) {
    for (int i = -2; i < 40; ++i) {
        const bool accent = i == 6 || i == 14 || i == 29 || i == 32 || i == 34;
        EXPECT_EQ(isAccentMessage(static_cast<std::int16_t>(i)), accent) << i;
    }
}

TEST(MessageTable, LookupAcceptsOnlyTheThirtyFiveIndices) {
    const auto& table = messageTexts();
    EXPECT_EQ(messageAt(table, -1), nullptr);
    EXPECT_EQ(messageAt(table, 35), nullptr);
    ASSERT_NE(messageAt(table, 34), nullptr);
    EXPECT_EQ(*messageAt(table, 34), "Velsmoor, Part I");
    EXPECT_EQ(messageAt(table, 0), &table[0]);
}

} // namespace
} // namespace effects::test
