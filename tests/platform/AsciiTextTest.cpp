// SPDX-License-Identifier: GPL-3.0-or-later
// Case folding and separators shared by the Wine, Steam and Windows path code: only the 26 ASCII
// letters fold, and the bytes next to them in the code table or above it stay as they are.

#include "platform/AsciiText.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

TEST(AsciiTextTest, OnlyAsciiLettersFold) {
    const struct {
        std::string_view a;
        std::string_view b;
        bool same;
    } cases[] = {
        {"Steam", "sTEAM", true},
        {"AZ", "az", true},
        {"", "", true},
        {"Software", "Softwar", false},
        // Neighbours of the letters: a fold by setting bit 5 would take these for one another.
        {"@", "`", false},
        {"[", "{", false},
        {"]", "}", false},
        {"^", "~", false},
        // UTF-8 and Latin-1 bytes: "Ä" is not "ä", in either encoding.
        {"\xc3\x84rger", "\xc3\xa4rger", false},
        {"\xc4", "\xe4", false},
        {"\xc3\x84rger", "\xc3\x84RGER", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameIgnoringAsciiCase(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(SameIgnoringAsciiCase(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
}

// Where char is signed, bytes above 127 are negative and must still be no letters, unchanged.
TEST(AsciiTextTest, BytesAboveAsciiAreLeftAlone) {
    for (int value = 128; value < 256; ++value) {
        const char c = static_cast<char>(value);
        EXPECT_FALSE(IsAsciiLetter(c)) << value;
        EXPECT_EQ(AsciiLower(c), c) << value;
        EXPECT_FALSE(IsSeparator(c)) << value;
    }
    for (const char c : {'\\', '/'})
        EXPECT_TRUE(IsSeparator(c)) << c;
    for (const char c : {':', '|', '.', '\0'})
        EXPECT_FALSE(IsSeparator(c)) << c;
}

// Every needle position, across the blocks the search tests at once and at their edges, against
// the plain definition; and the bytes a case bit confuses are told apart.
TEST(AsciiTextTest, ContainsFindsTheNeedleAnywhereInAnyLetterCase) {
    const std::string needle = "Call of Duty";
    for (std::size_t at = 0; at <= 140; ++at) {
        std::string text(140 + needle.size(), '.');
        text.replace(at, needle.size(), at % 2 ? "CALL OF DUTY" : "call of duty");
        EXPECT_TRUE(ContainsIgnoringAsciiCase(text, needle)) << at;
        text[at + 4] = '\0'; // " " with the case bit cleared
        EXPECT_FALSE(ContainsIgnoringAsciiCase(text, needle)) << at;
    }
    EXPECT_FALSE(ContainsIgnoringAsciiCase(std::string(100, 'a') + "[", "a{"));
    EXPECT_FALSE(ContainsIgnoringAsciiCase("Call of Dut", needle));
    EXPECT_TRUE(ContainsIgnoringAsciiCase("anything", ""));
}

} // namespace
