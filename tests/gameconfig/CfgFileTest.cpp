// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/CfgFile.h"

#include "gameconfig/NameSave.h"
#include "platform/HostFiles.h"
#include "platform/RunningPrograms.h"
#include "support/SystemReasons.h"
#include "support/TestPrefix.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string NotFound = "CFG file is corrupted.\nSet of name NOT found.";
const std::string UnsafeTag = UnsafeTagMessage;

// ---------------------------------------------------------------------------------------------
// Locating the entry

struct LocateCase {
    const char* label;
    std::string content;
    bool found;
    std::int32_t namePos = 0;
    std::int32_t nameEnd = 0;
    std::string rawName = "";
};

void PrintTo(const LocateCase& c, std::ostream* out) {
    *out << c.label;
}

class LocateNameEntryTest : public testing::TestWithParam<LocateCase> {};

TEST_P(LocateNameEntryTest, FindsTheFirstEntryOrFails) {
    const LocateCase& c = GetParam();
    Outcome<NameEntry> entry = LocateNameEntry(c.content);
    ASSERT_EQ(entry.ok(), c.found);
    if (!c.found) {
        EXPECT_EQ(entry.failure().message, NotFound);
        return;
    }
    EXPECT_EQ(entry.value().NamePos, c.namePos);
    EXPECT_EQ(entry.value().NameEnd, c.nameEnd);
    EXPECT_EQ(entry.value().RawName, c.rawName);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocateNameEntryTest,
    testing::Values(
        LocateCase{"OnlyTheEntry", "seta name \"^1Ro^7ok\"\n", true, 1, 21, "^1Ro^7ok"},
        LocateCase{"EmptyValue", "seta name \"\"\n", true, 1, 13, ""},
        LocateCase{"AmongOtherLines",
                   "// generated\nbind x y\nseta name \"Rook\"\nseta rate \"25000\"\n", true, 23,
                   39, "Rook"},
        LocateCase{"FirstOfSeveral", "seta name \"first\"\nseta name \"second\"\n", true, 1, 18,
                   "first"},
        LocateCase{"CrLfLineEnd", "seta name \"Rook\"\r\nseta rate \"1\"\r\n", true, 1, 18, "Rook"},
        LocateCase{"CrLfEmptyValue", "seta name \"\"\r\n", true, 1, 14, ""},
        LocateCase{"EightBitBytes", "\0\xff\n"s + "seta name \"\x8a\0^\"\n"s, true, 4, 19,
                   "\x8a\0^"s},
        // The value ends at its closing quote; the rest of its line is kept.
        LocateCase{"ValueWithQuotes", "seta name \"a\"b\"\n", true, 1, 16, "a"},
        LocateCase{"Comment", "seta name \"R\" // tag\n", true, 1, 21, "R"},
        LocateCase{"BlankAfterQuote", "seta name \"R\" \n", true, 1, 15, "R"},
        LocateCase{"CrCrLf", "seta name \"R\"\r\r\n", true, 1, 16, "R"},
        LocateCase{"CrThenSetting", "seta name \"R\"\rseta rate \"5\"\n", true, 1, 28, "R"},
        LocateCase{"CrLineEnds", "a\rseta name \"R\"\rseta x \"1\"\rb\n", true, 3, 29, "R"},
        // The entry begins a line: the prefix inside one is a comment or a command.
        LocateCase{"CommentedOut", "// seta name \"x\"\nseta name \"R\"\n", true, 18, 31, "R"},
        LocateCase{"Bind", "bind n \"seta name \"x\"\"\nseta name \"R\"\n", true, 24, 37, "R"},
        LocateCase{"PrefixMidLine", "echo seta name \"A\"\n", false},
        LocateCase{"IndentedPrefix", " seta name \"A\"\n", false},
        LocateCase{"NoClosingQuote", "seta name \"R\nseta rate \"1\"\n", false},
        LocateCase{"NoQuoteBeforeCr", "seta name \"R\r\"\n", false},
        LocateCase{"QuotedWithoutLf", "seta name \"R\"\r", false},
        LocateCase{"EmptyFile", "", false},
        LocateCase{"NoEntry", "seta rate \"25000\"\nbind x y\n", false},
        LocateCase{"Capitals", "SETA NAME \"Rook\"\n", false},
        LocateCase{"CapitalN", "seta Name \"Rook\"\n", false},
        LocateCase{"WithoutOpeningQuote", "seta name Rook\n", false},
        LocateCase{"LastLineWithoutLf", "bind x y\nseta name \"Rook\"", false},
        LocateCase{"OnlyThePrefix", "seta name \"", false},
        LocateCase{"LfRightAfterOpeningQuote", "seta name \"\nRook\"\n", false},
        LocateCase{"CrLfRightAfterOpeningQuote", "seta name \"\r\n", false},
        // Only the first prefix counts, even when a later one would be fine.
        LocateCase{"FirstEntryBroken", "seta name \"\nseta name \"Rook\"\n", false}),
    [](const testing::TestParamInfo<LocateCase>& info) { return info.param.label; });

// ---------------------------------------------------------------------------------------------
// Saving a new tag

class CfgFileTest : public testing::Test {
protected:
    fs::path cfg() const { return m_dir.path() / "config_mp.cfg"; }
    std::string cfgPath() const { return cfg().string(); }

    // Writes `content` to the file and reads and locates it as Main does.
    NameEntry load(const std::string& content) {
        WriteBytes(cfg(), content);
        Outcome<std::string> read = ReadCfgFile(cfgPath());
        EXPECT_TRUE(read.ok());
        EXPECT_EQ(read.value(), content);
        Outcome<NameEntry> entry = LocateNameEntry(content);
        EXPECT_TRUE(entry.ok()) << content;
        return entry.ok() ? entry.value() : NameEntry{};
    }

    TempDir m_dir;
};

struct SaveCase {
    const char* label;
    std::string before;
    std::string tag;
    std::string after;
};

void PrintTo(const SaveCase& c, std::ostream* out) {
    *out << c.label;
}

class SaveCfgFileTest : public CfgFileTest, public testing::WithParamInterface<SaveCase> {};

TEST_P(SaveCfgFileTest, ReplacesOnlyTheValue) {
    const SaveCase& c = GetParam();
    const NameEntry entry = load(c.before);
    std::string content = c.before;

    ASSERT_FALSE(SaveCfgFile(cfgPath(), content, entry, c.tag).has_value());
    EXPECT_EQ(content, c.after);
    EXPECT_EQ(ReadBytes(cfg()), c.after);
    Outcome<NameEntry> again = LocateNameEntry(ReadBytes(cfg()));
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.value().RawName, c.tag);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaveCfgFileTest,
    testing::Values(
        SaveCase{"OnlyTheEntry", "seta name \"^1Ro^7ok\"\n", "^1Ro^4ok",
                 "seta name \"^1Ro^4ok\"\n"},
        SaveCase{"EmptyValue", "a\nseta name \"\"\nb\n", "^2X", "a\nseta name \"^2X\"\nb\n"},
        SaveCase{"EmptyTag", "seta name \"Rook\"\nb\n", "", "seta name \"\"\nb\n"},
        SaveCase{"LongerTagShiftsTheRest", "x\nseta name \"ab\"\nseta rate \"25000\"\n\xff\0"s,
                 "^1a^2b^3c^4d", "x\nseta name \"^1a^2b^3c^4d\"\nseta rate \"25000\"\n\xff\0"s},
        SaveCase{"ShorterTagShiftsTheRest", "seta name \"^1a^2b^3c\"\nbind q \"quit\"\n", "Q",
                 "seta name \"Q\"\nbind q \"quit\"\n"},
        SaveCase{"OnlyFirstOfSeveral", "seta name \"A\"\nseta name \"A\"\n", "^1A",
                 "seta name \"^1A\"\nseta name \"A\"\n"},
        SaveCase{"OldNameElsewhereUntouched",
                 "seta cl_rook \"Rook\"\necho Rook\nseta name \"Rook\"\nsay \"Rook\"\n", "^2Rook",
                 "seta cl_rook \"Rook\"\necho Rook\nseta name \"^2Rook\"\nsay \"Rook\"\n"},
        SaveCase{"OnlyTheLineStartEntry", "// seta name \"A\"\nseta name \"A\"\n", "B",
                 "// seta name \"A\"\nseta name \"B\"\n"},
        SaveCase{"CrLfKeepsQuoteAndLineEnd", "seta name \"Rook\"\r\nnext\r\n", "^3R",
                 "seta name \"^3R\"\r\nnext\r\n"},
        SaveCase{"CommentAfterQuoteKept", "seta name \"Rook\" // clan tag\n", "X",
                 "seta name \"X\" // clan tag\n"},
        SaveCase{"CrSeparatedSettingKept", "seta name \"Rook\"\rseta rate \"25000\"\r\r\n", "X",
                 "seta name \"X\"\rseta rate \"25000\"\r\r\n"},
        SaveCase{"EightBitTag", "seta name \"a\"\n", "\xe8\x9a^7\xff",
                 "seta name \"\xe8\x9a^7\xff\"\n"},
        SaveCase{"SpaceAndDeleteAreNotControls", "seta name \"a\"\n", " \x7f ",
                 "seta name \" \x7f \"\n"}),
    [](const testing::TestParamInfo<SaveCase>& info) { return info.param.label; });

class RefusedTagTest : public CfgFileTest, public testing::WithParamInterface<std::string> {};

TEST_P(RefusedTagTest, WritesNothing) {
    const std::string before = "seta name \"Rook\"\nbind x y\n";
    const NameEntry entry = load(before);
    std::string content = before;

    MaybeFailure failure = SaveCfgFile(cfgPath(), content, entry, GetParam());
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message, UnsafeTag);
    EXPECT_EQ(content, before);
    EXPECT_EQ(ReadBytes(cfg()), before);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedTagTest,
                         testing::Values("\""s, "a\"b"s, "Rook\"; quit; \""s, "\n"s, "a\nquit"s,
                                         "\r"s, "a\0b"s));

// The save as the editor makes it, from the typed code to the file.
TEST_F(CfgFileTest, SaveNameCodeEncodesTheCodeAndWaitsForTheGameToQuit) {
    const std::string before = "seta name \"Rook\"\n";
    const NameEntry entry = load(before);
    std::string content = before;
    const auto save = [&](std::u16string_view code) {
        const MaybeFailure failure = SaveNameCode(CallOfDuty, code, cfgPath(), content, entry);
        return failure ? failure->message : "";
    };
    EXPECT_EQ(save(u"^1\u0141\u00F3d\u017A \u263A"),
              "The code holds characters that the CFG file cannot store.");
    {
        const ScopedRunningCommandLines game(
            std::vector<CommandLine>{{"wine", "C:\\Games\\CoD\\codmp.exe"}});
        EXPECT_EQ(save(u"X").substr(0, 24), "Call of Duty is running.");
    }
    EXPECT_EQ(ReadBytes(cfg()), before);
    EXPECT_EQ(save(u"^1\u0141\u00F3d\u017A"), "");
    EXPECT_EQ(ReadBytes(cfg()), "seta name \"^1\xA3\xF3\x64\x9F\"\n");
}

TEST_F(CfgFileTest, RefusesAnEntryThatDoesNotDescribeTheContent) {
    const std::string before = "seta name \"Rook\"\n";
    const NameEntry stale = load("// one more line\nseta name \"Rook\"\n");
    std::string content = before;
    WriteBytes(cfg(), before);

    MaybeFailure failure = SaveCfgFile(cfgPath(), content, stale, "X");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message, NotFound);
    EXPECT_EQ(ReadBytes(cfg()), before);
    EXPECT_EQ(content, before);
}

TEST_F(CfgFileTest, FailedWriteKeepsFileAndContentAndSaysWhy) {
    const std::string before = "seta name \"Rook\"\n" + std::string(100000, 'x') + "\n";
    const NameEntry entry = load(before);
    std::string content = before;
    ScopedWriteHook diskFull([](std::size_t written, std::size_t wanted) {
        return written < 5000 ? WriteVerdict{std::min<std::size_t>(wanted, 5000 - written), 0}
                              : WriteVerdict{0, ENOSPC};
    });

    MaybeFailure failure = SaveCfgFile(cfgPath(), content, entry, "^1Rook");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message,
              "CFG file (" + cfgPath() + ") could not be written.\nNo space left on device");
    EXPECT_EQ(content, before);
    EXPECT_EQ(ReadBytes(cfg()), before);
}

TEST_F(CfgFileTest, FolderRemovedBeforeSaving) {
    const std::string before = "seta name \"Rook\"\n";
    const NameEntry entry = load(before);
    std::string content = before;
    fs::remove_all(m_dir.path());

    MaybeFailure failure = SaveCfgFile(cfgPath(), content, entry, "X");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message,
              "CFG file (" + cfgPath() + ") could not be written.\n" + reason::FolderNotFound());
    EXPECT_EQ(content, before);
    EXPECT_FALSE(fs::exists(m_dir.path()));
}

// ---------------------------------------------------------------------------------------------
// Reading

TEST_F(CfgFileTest, ReadsEveryByteUntranslated) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    bytes += "\r\n\r\n\x1a";
    WriteBytes(cfg(), bytes);
    Outcome<std::string> read = ReadCfgFile(cfgPath());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), bytes);
}

TEST_F(CfgFileTest, ReadFailuresQuoteThePathAndTheReason) {
    const fs::path folder = m_dir.path() / "folder.cfg";
    fs::create_directory(folder);
    const fs::path huge = m_dir.path() / "huge.cfg";
    WriteBytes(huge, "");
    // One byte more than a 32-bit position can reach; sparse, so it takes no room on disk.
    fs::resize_file(huge, std::uintmax_t{1} << 31);

    const struct {
        fs::path path;
        std::string reason;
    } cases[] = {
        {m_dir.path() / "missing.cfg", reason::FileNotFound()},
        {folder, reason::IsAFolder()},
        {huge, reason::FileTooLarge()},
    };
    for (const auto& c : cases) {
        Outcome<std::string> read = ReadCfgFile(c.path.string());
        ASSERT_FALSE(read.ok()) << c.path;
        EXPECT_EQ(read.failure().message,
                  "CFG file (" + c.path.string() + ") could not be read.\n" + c.reason);
    }
}

// ---------------------------------------------------------------------------------------------
// Round trip over generated files: a save changes the bytes of the value and nothing else.

class ConfigGenerator {
public:
    explicit ConfigGenerator(std::uint32_t seed) : m_random(seed) {}

    // Random text: any byte, with line ends, quotes, carets and name lines thrown in often.
    std::string text(std::size_t maxLength) {
        static const std::string pieces[] = {"\n",    "\r\n", "\"",  "^",    "^1",  "seta name \"",
                                             "seta ", "name", "\0"s, "\xff", "\x80"};
        std::string text;
        const std::size_t length = below(maxLength + 1);
        while (text.size() < length) {
            if (below(4) == 0)
                text += pieces[below(std::size(pieces))];
            else
                text += static_cast<char>(below(256));
        }
        return text;
    }

    // Text without the prefix, ending a line, so that what follows it holds the first entry.
    std::string textWithoutEntry(std::size_t maxLength) {
        std::string result = text(maxLength);
        for (std::size_t at; (at = result.find(NameEntryPrefix)) != std::string::npos;)
            result.erase(at, 1);
        return result + (chance(2) ? "\n" : "\r");
    }

    // Neither the closing quote nor a line end.
    std::string value(std::size_t maxLength) {
        std::string value = text(maxLength);
        std::erase_if(value, [](char c) { return c == '\n' || c == '\r' || c == '"'; });
        return value;
    }

    std::string tag(std::size_t maxLength) {
        std::string tag;
        const std::size_t length = below(maxLength + 1);
        while (tag.size() < length) {
            const char c = static_cast<char>(32 + below(224));
            if (c != '"')
                tag += c;
        }
        return tag;
    }

    bool chance(unsigned oneIn) { return below(oneIn) == 0; }

private:
    std::size_t below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(m_random);
    }

    std::mt19937 m_random;
};

// Every round checks the new content; every 250th also goes through the disk, where each
// save waits for the data to reach it.
TEST_F(CfgFileTest, GeneratedFilesKeepEveryByteOutsideTheValue) {
    ConfigGenerator generate(20240611);
    for (int round = 0; round < 20000; ++round) {
        const std::string head = generate.chance(8) ? "" : generate.textWithoutEntry(80);
        const std::string lineEnd = generate.chance(4) ? "\r\n" : "\n";
        const std::string tail = generate.chance(8) ? "" : generate.text(80);
        const std::string value = generate.value(generate.chance(50) ? 2000 : 30);
        const std::string tag = generate.tag(generate.chance(50) ? 2000 : 40);
        const std::string prefix(NameEntryPrefix);
        const std::string before = head + prefix + value + "\"" + lineEnd + tail;
        const std::string after = head + prefix + tag + "\"" + lineEnd + tail;
        SCOPED_TRACE("round " + std::to_string(round));

        Outcome<NameEntry> entry = LocateNameEntry(before);
        ASSERT_TRUE(entry.ok());
        ASSERT_EQ(entry.value().NamePos, static_cast<std::int32_t>(head.size() + 1));
        ASSERT_EQ(entry.value().RawName, value);

        std::string content = before;
        if (round % 250 == 0) {
            WriteBytes(cfg(), before);
            ASSERT_FALSE(SaveCfgFile(cfgPath(), content, entry.value(), tag).has_value());
            ASSERT_EQ(ReadBytes(cfg()), after);
        } else {
            Outcome<std::string> composed = ContentWithTag(before, entry.value(), tag);
            ASSERT_TRUE(composed.ok());
            content = composed.value();
        }
        ASSERT_EQ(content, after);
        Outcome<NameEntry> again = LocateNameEntry(content);
        ASSERT_TRUE(again.ok());
        ASSERT_EQ(again.value().RawName, tag);
    }
}

} // namespace
