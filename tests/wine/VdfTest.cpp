// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/Vdf.h"

#include "wine/SteamLibraries.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// A libraryfolders.vdf as current Steam writes it: numbered blocks with "path" and more.
const std::string NewerFormat = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/player/.local/share/Steam"
		"label"		""
		"contentid"		"4321"
		"totalsize"		"0"
		"update_clean_bytes_tally"		"0"
		"time_last_update_corruption"		"0"
		"apps"
		{
			"228980"		"295402446"
		}
	}
	"1"
	{
		"path"		"/mnt/games/SteamLibrary"
		"label"		"Games"
		"apps"
		{
			"2620"		"621793891"
			"2640"		"751025634"
		}
	}
}
)";

// As Steam wrote it until 2021: the path is the value of a numbered key.
const std::string OlderFormat = R"("LibraryFolders"
{
	"TimeNextStatsReport"		"1611111111"
	"ContentStatsID"		"-1234567890123456789"
	"1"		"/mnt/games/SteamLibrary"
	"2"		"/media/player/Big Disk/Steam"
}
)";

TEST(LibraryFoldersIn, ReadsBothFormats) {
    const struct {
        const char* label;
        std::string text;
        std::vector<std::string> expected;
    } cases[] = {
        {"newer", NewerFormat, {"/home/player/.local/share/Steam", "/mnt/games/SteamLibrary"}},
        {"older", OlderFormat, {"/mnt/games/SteamLibrary", "/media/player/Big Disk/Steam"}},
        {"byte order mark and CR LF",
         "\xEF\xBB\xBF\"libraryfolders\"\r\n{\r\n\"1\" \"/a\"\r\n}\r\n",
         {"/a"}},
        {"key case differs", "\"LIBRARYFOLDERS\" { \"0\" { \"PATH\" \"/a\" } }", {"/a"}},
        {"escaped Windows path",
         R"("libraryfolders" { "0" { "path" "D:\\Steam \"Lib\"" } })",
         {R"(D:\Steam "Lib")"}},
        {"single backslashes kept",
         R"("libraryfolders" { "1" "D:\Games\Steam" })",
         {R"(D:\Games\Steam)"}},
        {"comments and bare words",
         "// written by hand\nlibraryfolders // the list\n{\n 1 /a // first\n \"2\" \"/b\"\n}\n",
         {"/a", "/b"}},
        {"conditional after an entry",
         "\"libraryfolders\" { \"1\" \"/a\" [$LINUX] \"2\" \"/b\" [$WIN32] }",
         {"/a", "/b"}},
        {"non-numbered keys and empty paths skipped",
         R"("libraryfolders" { "x1" "/x" "1" "" "2" { "label" "no path" } "3" "/c" })",
         {"/c"}},
        {"no libraryfolders block", R"("config" { "1" "/a" })", {}},
        {"libraryfolders as text", R"("libraryfolders" "/a")", {}},
        {"empty file", "", {}},
        // A broken file names no library, not even the entries before the break.
        {"unterminated string", R"("libraryfolders" { "1" "/a" "2" "/b)", {}},
        {"missing closing brace", R"("libraryfolders" { "1" "/a")", {}},
        {"extra closing brace", R"("libraryfolders" { "1" "/a" } })", {}},
        {"key without a value", R"("libraryfolders" { "1" "/a" "2" })", {}},
        {"block without a key", R"({ "1" "/a" })", {}},
        {"unclosed conditional", R"("libraryfolders" { "1" "/a" [$WIN32 })", {}},
        {"backslash at the very end", "\"libraryfolders\" { \"1\" \"/a\\", {}},
        {"binary garbage", "\x00\x01\"\xff{"s, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LibraryFoldersIn(c.text), c.expected) << c.label;
}

TEST(ParseVdf, KeepsStructureAndEscapes) {
    const auto entries = ParseVdf("\"a\" { \"b\" \"x\\ty\\nz\" c { } } d \"\"");
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    const VdfEntry& a = (*entries)[0];
    EXPECT_TRUE(a.isBlock);
    ASSERT_EQ(a.children.size(), 2u);
    EXPECT_EQ(a.children[0].value, "x\ty\nz");
    EXPECT_TRUE(a.children[1].isBlock);
    EXPECT_TRUE(a.children[1].children.empty());
    EXPECT_FALSE((*entries)[1].isBlock);
    EXPECT_EQ((*entries)[1].key, "d");
    EXPECT_EQ(FindVdfEntry(a.children, "C"), &a.children[1]);
    EXPECT_EQ(FindVdfEntry(a.children, "missing"), nullptr);
}

TEST(ParseVdf, RefusesNestingDeeperThanAnyRealFile) {
    const auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += "k {";
        return text + std::string(static_cast<std::size_t>(depth), '}');
    };
    EXPECT_TRUE(ParseVdf(nested(32)));
    EXPECT_FALSE(ParseVdf(nested(33)));
    EXPECT_FALSE(ParseVdf(nested(1'000'000))) << "must not exhaust the stack";
}

// A user's shortcuts.vdf as Steam writes it: two non-Steam games, the second added by hand
// without an app id, and a "tags" block in each.
const std::string Shortcuts = "\0shortcuts\0"
                              "\0"
                              "0\0"
                              "\x02"
                              "appid\0"
                              "\x87\xD6\x12\x80"
                              "\x01"
                              "AppName\0Call of Duty\0"
                              "\x01"
                              "Exe\0\"/media/cdrom/CoDMP.exe\"\0"
                              "\x02"
                              "LastPlayTime\0"
                              "\x01\x02\x03\x04"
                              "\0tags\0"
                              "\x01"
                              "0\0favorite\0"
                              "\x08"
                              "\x08"
                              "\0"
                              "1\0"
                              "\x01"
                              "appid\0"
                              "not a number\0"
                              "\0tags\0"
                              "\x08"
                              "\x08"
                              "\x08"
                              "\x08"s;

TEST(ShortcutAppIdsIn, ReadsSteamsBinaryFormatAndNothingBroken) {
    EXPECT_EQ(ShortcutAppIdsIn(Shortcuts), std::vector{"2148718215"s});
    EXPECT_EQ(ShortcutAppIdsIn(Shortcuts.substr(0, Shortcuts.size() - 1)),
              std::vector{"2148718215"s})
        << "a file may end without the final 0x08";
    for (std::size_t size = 0; size + 1 < Shortcuts.size(); ++size)
        EXPECT_TRUE(ShortcutAppIdsIn(Shortcuts.substr(0, size)).empty()) << "cut to " << size;
    EXPECT_TRUE(ShortcutAppIdsIn(Shortcuts + "\x08"s).empty()) << "bytes after the end";
    EXPECT_TRUE(ShortcutAppIdsIn("\0shortcuts\0\x05wide\0\0\0\x08\x08"s).empty())
        << "an unknown type";
    std::string deep = "\0shortcuts\0"s;
    for (int i = 0; i < 1'000'000; ++i)
        deep += "\0k\0"s;
    EXPECT_TRUE(ShortcutAppIdsIn(deep + std::string(1'000'001, '\x08')).empty())
        << "must not exhaust the stack";
}

} // namespace
