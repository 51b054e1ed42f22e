// SPDX-License-Identifier: GPL-3.0-or-later
#include "namecode/NameCode.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

NameColorTable TableOf(std::uint8_t fill) {
    NameColorTable colors;
    colors.fill(fill);
    return colors;
}

std::vector<std::uint8_t> Slots(const NameColorTable& colors, std::size_t count) {
    return {colors.begin() + 1, colors.begin() + 1 + static_cast<std::ptrdiff_t>(count)};
}

struct DecodeCase {
    const char* coded;
    const char* visible;
    std::vector<std::uint8_t> colors; // slots 1.., as many as listed
};

class DecodeNameTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeNameTest, GivesVisibleCharactersAndTheirColours) {
    const DecodeCase& c = GetParam();
    NameColorTable colors = TableOf(42);
    EXPECT_EQ(DecodeName(c.coded, colors), c.visible);
    EXPECT_EQ(Slots(colors, c.colors.size()), c.colors);
    EXPECT_EQ(colors[0], 42) << "slot 0 belongs to the encoder";
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeNameTest,
    testing::Values(DecodeCase{"abc", "abc", {7, 7, 7}}, DecodeCase{"^1a^2b", "ab", {1, 2}},
                    DecodeCase{"^1a^1b", "ab", {1, 1}},
                    DecodeCase{"^1Ro^7ok", "Rook", {1, 1, 7, 7}},
                    // A trailing code colours no character; the slot after the last one keeps
                    // the colour in force before it.
                    DecodeCase{"ab^", "ab", {7, 7, 7}}, DecodeCase{"ab^3", "ab", {7, 7, 7}},
                    DecodeCase{"^xA", "A", {0}}, DecodeCase{"^^A", "A", {0}},
                    DecodeCase{"^9A", "A", {9}}, DecodeCase{"^12", "2", {1}},
                    DecodeCase{"^1^2^3x", "x", {3}}, DecodeCase{"a^", "a", {7, 7}},
                    DecodeCase{"^", "", {7}}, DecodeCase{"^1^2", "", {1}},
                    DecodeCase{"\xE8"
                               "a^4\x9A",
                               "\xE8"
                               "a\x9A",
                               {7, 7, 4}}));

TEST(DecodeName, EmptyNameLeavesTheTableAlone) {
    NameColorTable colors = TableOf(5);
    EXPECT_EQ(DecodeName("", colors), "");
    EXPECT_EQ(colors, TableOf(5));
}

TEST(DecodeName, LongNameIsReturnedWholeButOnlyThirtySlotsAreWritten) {
    const std::string coded = "^2" + std::string(35, 'x');
    NameColorTable colors = TableOf(0);
    EXPECT_EQ(DecodeName(coded, colors), std::string(35, 'x'));
    EXPECT_EQ(colors[0], 0);
    for (int slot = 1; slot <= MaxNameLength; ++slot)
        EXPECT_EQ(colors[slot], 2) << "slot " << slot;
}

struct EncodeCase {
    const char* visible;
    std::vector<std::uint8_t> colors;
    const char* tag;
};

class EncodeTagTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTagTest, WritesACodeForTheFirstCharacterAndAtEveryChange) {
    const EncodeCase& c = GetParam();
    NameColorTable colors = TableOf(7);
    std::copy(c.colors.begin(), c.colors.end(), colors.begin() + 1);
    const int length = static_cast<int>(c.colors.size());
    EXPECT_EQ(EncodeTag(c.visible, length, colors), c.tag);
    EXPECT_EQ(colors[0], 99);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodeTagTest,
    testing::Values(EncodeCase{"abc", {7, 7, 7}, "^7abc"}, EncodeCase{"ab", {1, 2}, "^1a^2b"},
                    EncodeCase{"ab", {1, 1}, "^1ab"}, EncodeCase{"A", {9}, "^9A"},
                    EncodeCase{"Rook", {1, 1, 4, 4}, "^1Ro^4ok"},
                    EncodeCase{"abcd", {7, 1, 1, 7}, "^7a^1bc^7d"},
                    EncodeCase{"a^b", {7, 7, 7}, "^7a^b"}, EncodeCase{"", {}, ""}));

TEST(EncodeTag, ReadsNoMoreThanThirtySlots) {
    NameColorTable colors = TableOf(3);
    const std::string visible(40, 'z');
    EXPECT_EQ(EncodeTag(visible, 40, colors), "^3" + std::string(MaxNameLength, 'z'));
}

// Any visible name without a caret, of up to 30 characters, comes back from decoding the
// encoder's output with the same characters and colours.
TEST(NameCodeRoundTrip, DecodeUndoesEncode) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> lengthOf(0, MaxNameLength);
    std::uniform_int_distribution<int> colorOf(0, 9);
    std::uniform_int_distribution<int> byteOf(1, 255);
    for (int round = 0; round < 5000; ++round) {
        const int length = lengthOf(random);
        std::string visible;
        NameColorTable colors = TableOf(7);
        for (int i = 1; i <= length; ++i) {
            char c;
            do
                c = static_cast<char>(byteOf(random));
            while (c == '^');
            visible += c;
            colors[i] = static_cast<std::uint8_t>(colorOf(random));
        }
        const NameColorTable original = colors;
        const std::string tag = EncodeTag(visible, length, colors);

        NameColorTable decoded = TableOf(77);
        ASSERT_EQ(DecodeName(tag, decoded), visible) << tag;
        for (int i = 1; i <= length; ++i)
            ASSERT_EQ(decoded[i], original[i]) << tag << " slot " << i;
    }
}

} // namespace
