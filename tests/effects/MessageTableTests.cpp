// The message texts, byte for byte, and which of them are accent messages.
#include <gtest/gtest.h>

#include "EffectsFixture.h"
#include "effects/Effects.h"
#include "effects/MessageTable.h"

namespace effects::test {
namespace {

// FNV-1a over the entries, each followed by a line feed.
std::uint64_t fingerprint(const MessageTable& table) {
    std::uint64_t h = 14695981039346656037ull;
    for (const std::string& m : table)
        for (const char c : m + '\n') h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

TEST(MessageTable, HoldsTheThirtyFiveTextsExactly) {
    const auto& table = messageTexts();
    ASSERT_EQ(table.size(), 35u);
    // Every text was checked against the message table once; the fingerprint keeps them so,
    // byte for byte. The entries below are the ones whose form is easy to get wrong.
    EXPECT_EQ(fingerprint(table), 0xcb53eebc19ebff5aull);
    for (std::size_t blank : {0u, 7u, 15u, 30u, 33u}) EXPECT_EQ(table[blank], "") << blank;
    EXPECT_EQ(table[1], "This can't be good for me!");
    EXPECT_EQ(table[11], "... But when you face it by yourself ... ");
    EXPECT_EQ(table[34], "Velsmoor, Part I");
    for (const std::string& m : table)
        for (unsigned char ch : m) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << m;
}

TEST(MessageTable, AccentMessagesAndLookup) {
    for (int i = -2; i < 40; ++i) {
        const bool accent = i == 6 || i == 14 || i == 29 || i == 32 || i == 34;
        EXPECT_EQ(isAccentMessage(static_cast<std::int16_t>(i)), accent) << i;
    }
    const auto& table = messageTexts();
    EXPECT_EQ(messageAt(table, -1), nullptr);
    EXPECT_EQ(messageAt(table, 35), nullptr);
    EXPECT_EQ(messageAt(table, 34), &table[34]);
    EXPECT_EQ(messageAt(table, 0), &table[0]);
}

// A message wider than the message line wraps, and the line shows only the top of its second row.
class MessageLine : public EffectsFixture {};

TEST_F(MessageLine, EveryMessageFitsOnOneLine) {
    for (const std::string& m : messageTexts()) {
        lbl2->setCaption(m);
        EXPECT_LE(lbl2->layoutLines().size(), 1u) << m;
    }
}

} // namespace
} // namespace effects::test
