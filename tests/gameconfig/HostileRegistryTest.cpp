// SPDX-License-Identifier: GPL-3.0-or-later
// The registry of a Wine prefix as an attacker or a broken disk might leave it: huge, cut off,
// deeply nested, full of escapes, not text at all, or no file at all. The lookup finds what is
// intact and nothing else, and never crashes, blocks or takes unbounded time or memory.

#include "gameconfig/Registry.h"
#include "platform/UnicodeText.h"
#include "support/FileSystemUser.h"
#include "support/TestPrefix.h"
#include "wine/WineRegFile.h"
#include "wine/WineRegistry.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string CodKey = "Software\\Activision\\Call of Duty";
const std::string Header = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                           "#arch=win64\n\n";
const std::string GameKeyLines = "[Software\\\\Wow6432Node\\\\Activision\\\\Call of Duty] 1\n"
                                 "\"InstallPath\"=\"C:\\\\Games\\\\Call of Duty\"\n";

// A hang guard, not a speed test: a lookup that takes longer than this is stuck.
constexpr auto Patience = std::chrono::seconds(60);

// A prefix folder with the given system.reg, and lookups in it as the program makes them.
class RegistryPrefix {
public:
    RegistryPrefix() = default;
    explicit RegistryPrefix(const std::string& systemReg) { write(systemReg); }

    void write(const std::string& systemReg) const { WriteBytes(systemRegPath(), systemReg); }
    fs::path systemRegPath() const { return m_dir.path() / "system.reg"; }

    // The value as text ("" when there is none), failing the test when the lookup is stuck.
    std::string lookUp(const std::string& keyPath,
                       const std::string& valueName = "InstallPath") const {
        const auto start = std::chrono::steady_clock::now();
        WineRegistry registry(m_dir.path());
        std::string text =
            RegValueText(QueryRegValue(registry, RootKeyLocalMachine, keyPath, valueName));
        EXPECT_LT(std::chrono::steady_clock::now() - start, Patience) << keyPath;
        return text;
    }

private:
    TempDir m_dir;
};

// ---------------------------------------------------------------------------------------------
// A file written by Wine itself (wineboot, then `wine reg add`), as the fuzzer's seed keeps it.

std::string WineWrittenFile() {
    return ReadBytes(fs::path(TINTWELL_SOURCE_DIR) / "fuzz" / "corpus" / "registry" /
                     "wine-system-excerpt.reg");
}

const std::string DeepKey = CodKey + "\\Tintwell [Test]\\Sub\\Deeper";

struct WineValueCase {
    std::string keyPath, name, expected;
};

TEST(WineWrittenRegistry, GivesWhatRegAddStored) {
    const std::string file = WineWrittenFile();
    ASSERT_TRUE(file.starts_with("WINE REGISTRY Version 2\n")) << "seed file missing";
    const RegistryPrefix prefix(file);
    const WineValueCase cases[] = {
        {CodKey, "InstallPath", "C:\\Games\\Call of Duty"},
        {CodKey + " United Offensive", "InstallPath", "C:\\Games\\Call of Duty"},
        {CodKey, "Version", "-2147483647"}, // dword:80000001
        {CodKey, "", "default value"},
        {CodKey, "Language", ""}, // REG_EXPAND_SZ is no value the lookup gives
        {CodKey, "Patches", ""},  // nor is REG_MULTI_SZ
        {CodKey, "Blob", ""},     // nor REG_BINARY
        {DeepKey, "Name \"with\" \\ escapes",
         "Kyrillica \xD0\x9A\xD0\xB8\xD1\x80\xD0\xB8\xD0\xBB\xD0\xBB\xD0\xB8\xD1\x86\xD0\xB0 "
         "and \xF0\x9F\x98\x80"},
        {"Software\\Activision\\Native View", "InstallPath", "D:\\Native"},
        {"System\\CurrentControlSet\\Control\\Session Manager\\Environment", "OS", "Windows_NT"},
    };
    for (const WineValueCase& c : cases)
        EXPECT_EQ(prefix.lookUp(c.keyPath, c.name), c.expected) << c.keyPath << " " << c.name;
}

// Cut off at any byte, the file gives each text value whole or not at all. (The numbers and byte
// lists of a cut line are not protected by a closing quote; the program reads text only.)
TEST(WineWrittenRegistry, CutAnywhereGivesTextValuesWholeOrNotAtAll) {
    const std::string file = WineWrittenFile();
    const WineValueCase texts[] = {
        {"Software\\Wow6432Node\\Activision\\Call of Duty", "InstallPath",
         "C:\\Games\\Call of Duty"},
        {"Software\\Wow6432Node\\Activision\\Call of Duty", "", "default value"},
        {"Software\\Wow6432Node\\Activision\\Call of Duty United Offensive", "InstallPath",
         "C:\\Games\\Call of Duty"},
        {"Software\\Activision\\Native View", "InstallPath", "D:\\Native"},
    };
    std::size_t cutsHoldingAll = 0;
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        const std::string_view text = std::string_view(file).substr(0, cut);
        bool holdsAll = true;
        for (const WineValueCase& c : texts) {
            const std::optional<WineRegKey> key = FindWineRegKey(text, c.keyPath);
            const WineRegValue* value = key ? key->find(c.name) : nullptr;
            holdsAll = holdsAll && value;
            if (value) {
                ASSERT_EQ(value->type, RegTypeSz) << "cut at " << cut;
                ASSERT_EQ(Utf16ToUtf8(Utf16FromLittleEndian(value->data)), c.expected + "\0"s)
                    << "cut at " << cut;
            }
        }
        cutsHoldingAll += holdsAll;
    }
    EXPECT_GT(cutsHoldingAll, 0u);
    EXPECT_LT(cutsHoldingAll, file.size());
}

// ---------------------------------------------------------------------------------------------
// Hostile contents

struct HostileCase {
    const char* label;
    std::function<std::string()> systemReg;
    std::string expected; // InstallPath of Call of Duty; "" for none
};

void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.label;
}

class HostileRegistryTest : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileRegistryTest, FindsWhatIsIntactAndNothingElse) {
    const HostileCase& c = GetParam();
    const RegistryPrefix prefix(c.systemReg());
    EXPECT_EQ(prefix.lookUp(CodKey), c.expected);
    EXPECT_EQ(prefix.lookUp(CodKey + " United Offensive"), "");
}

// Tens of megabytes of keys like those of a well-used prefix, hex lists among them.
std::string HugeFile(std::size_t megabytes) {
    std::string body = Header;
    body.reserve(megabytes << 20);
    for (int i = 0; body.size() < (megabytes << 20); ++i) {
        body += "[Software\\\\Classes\\\\CLSID\\\\{" + std::to_string(i) +
                "-0000-0000-C000-000000000046}\\\\InprocServer32] 1733500000\n"
                "#time=1db48a3f0c2e9a4\n@=\"C:\\\\windows\\\\system32\\\\ole32.dll\"\n"
                "\"Data\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
                "  15,16,17,18,19,1a,1b,1c\n\"ThreadingModel\"=\"Both\"\n\n";
    }
    return body;
}

// "C:\Games\Call of Duty" written with an escape for every character.
std::string EscapedInstallPath() {
    std::string escaped;
    for (const char c : "C:\\Games\\Call of Duty"s) {
        char code[8];
        std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(c));
        escaped += code;
    }
    return escaped;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileRegistryTest,
    testing::Values(
        HostileCase{"HugeWithTheGameAtTheEnd", [] { return HugeFile(40) + GameKeyLines; },
                    "C:\\Games\\Call of Duty"},
        HostileCase{"HugeWithoutTheGame", [] { return HugeFile(40); }, ""},
        HostileCase{"CutInTheValue",
                    [] { return Header + GameKeyLines.substr(0, GameKeyLines.size() - 8); }, ""},
        HostileCase{"CutInTheKeyLine", [] { return Header + GameKeyLines.substr(0, 30); }, ""},
        HostileCase{"EveryCharacterEscaped",
                    [] {
                        return Header +
                               "[Software\\\\Wow6432Node\\\\Activision\\\\Call of Duty] 1\n"
                               "\"\\x0049nstall\\x0050ath\"=\"" +
                               EscapedInstallPath() + "\"\n";
                    },
                    "C:\\Games\\Call of Duty"},
        HostileCase{"MillionsOfEscapesOnOneLine",
                    [] {
                        std::string line = "\"InstallPath\"=\"";
                        for (int i = 0; i < 2'000'000; ++i)
                            line += i % 2 ? "\\\\" : "\\x41";
                        return Header +
                               "[Software\\\\Wow6432Node\\\\Activision\\\\Call of Duty] 1\n" +
                               line + "\n"; // no closing quote: the value is broken
                    },
                    ""},
        HostileCase{"DeeplyNestedKeys",
                    [] {
                        std::string deep = "[Software";
                        for (int i = 0; i < 200'000; ++i)
                            deep += "\\\\Wow6432Node";
                        return Header + deep + "] 1\n\"InstallPath\"=\"deep\"\n" + GameKeyLines;
                    },
                    "C:\\Games\\Call of Duty"},
        HostileCase{"EndlessHexContinuation",
                    [] {
                        std::string value = "\"InstallPath\"=hex(1):43,00,\\\n";
                        for (int i = 0; i < 1'000'000; ++i)
                            value += "  3a,00,\\\n";
                        return Header +
                               "[Software\\\\Wow6432Node\\\\Activision\\\\Call of Duty] 1\n" +
                               value + "  00,00\n";
                    },
                    "C" + std::string(1'000'000, ':')},
        HostileCase{"BinaryGarbage", [] { return RandomBytes(8 << 20, 1); }, ""},
        HostileCase{"BinaryGarbageAfterTheSignature",
                    [] { return Header + RandomBytes(8 << 20, 2); }, ""},
        HostileCase{"GameKeyInsideGarbage",
                    [] {
                        return Header + RandomBytes(1 << 20, 3) + "\n" + GameKeyLines +
                               RandomBytes(1 << 20, 4);
                    },
                    "C:\\Games\\Call of Duty"},
        HostileCase{"NulBytesEverywhere",
                    [] {
                        std::string file = Header + GameKeyLines;
                        std::string spread;
                        for (const char c : file)
                            (spread += c) += '\0';
                        return spread;
                    },
                    ""}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.label; });

TEST(DeeplyNestedKey, IsFoundItself) {
    std::string bracketed = "Software";
    std::string path = "Software";
    for (int i = 0; i < 200'000; ++i) {
        bracketed += "\\\\K" + std::to_string(i % 10);
        path += "\\k" + std::to_string(i % 10);
    }
    const RegistryPrefix prefix(Header + "[" + bracketed + "] 1\n\"InstallPath\"=\"deep\"\n");
    EXPECT_EQ(prefix.lookUp(path), "deep");
    EXPECT_EQ(prefix.lookUp(path + "\\k0"), "");
    EXPECT_EQ(prefix.lookUp(path.substr(0, path.size() - 1)), "");
}

// A file that names the game's key only with a plain letter escaped, which Wine never writes: a
// parse would find the key, but the lookup passes the file over, unparsed, as one that does not
// name "Activision" at all.
TEST(PassedOverRegistry, IsNotParsed) {
    const std::string file = Header +
                             "[Software\\\\Wow6432Node\\\\\\x0041ctivision\\\\Call of Duty] 1\n"
                             "\"InstallPath\"=\"C:\\\\Games\\\\Call of Duty\"\n";
    ASSERT_TRUE(FindWineRegKey(file, "Software\\Wow6432Node\\Activision\\Call of Duty"));
    EXPECT_EQ(RegistryPrefix(file).lookUp(CodKey), "");
}

// ---------------------------------------------------------------------------------------------
// What stands where system.reg should be

struct NoFileCase {
    const char* label;
    std::function<std::string(const fs::path& systemReg)> arrange; // a reason to skip, or ""
};

void PrintTo(const NoFileCase& c, std::ostream* out) {
    *out << c.label;
}

class NoRegistryFileTest : public testing::TestWithParam<NoFileCase> {};

TEST_P(NoRegistryFileTest, HoldsNoKeyAndDoesNotBlock) {
    const NoFileCase& c = GetParam();
    RegistryPrefix prefix;
    fs::remove(prefix.systemRegPath());
    if (const std::string skip = c.arrange(prefix.systemRegPath()); !skip.empty())
        GTEST_SKIP() << skip;
    FileSystemUser user; // so that permissions count for root too
    ASSERT_EQ(user.whyNot(), "");
    EXPECT_EQ(prefix.lookUp(CodKey), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoRegistryFileTest,
    testing::Values(NoFileCase{"Missing", [](const fs::path&) { return ""; }},
                    NoFileCase{"Folder",
                               [](const fs::path& reg) {
                                   fs::create_directory(reg);
                                   return "";
                               }},
                    NoFileCase{"PipeWithoutWriter",
                               [](const fs::path& reg) {
                                   return ::mkfifo(reg.c_str(), 0666) == 0 ? "" : "no pipe";
                               }},
                    NoFileCase{"LinkToAnEndlessDevice",
                               [](const fs::path& reg) {
                                   fs::create_symlink("/dev/zero", reg);
                                   return "";
                               }},
                    NoFileCase{"DanglingLink",
                               [](const fs::path& reg) {
                                   fs::create_symlink("/nonexistent/tintwell/system.reg", reg);
                                   return "";
                               }},
                    NoFileCase{"Unreadable",
                               [](const fs::path& reg) {
                                   WriteBytes(reg, Header + GameKeyLines);
                                   fs::permissions(reg, fs::perms::owner_write);
                                   return "";
                               }}),
    [](const testing::TestParamInfo<NoFileCase>& info) { return info.param.label; });

// A registry file far larger than any real one (a sparse file: no room taken on disk) is not read
// into memory. Under a limit on the address space that a whole read would break, the lookup must
// come back with nothing instead of ending the program.
TEST(OversizedRegistry, IsNotReadIntoMemory) {
    RegistryPrefix prefix(Header + GameKeyLines);
    fs::resize_file(prefix.systemRegPath(), std::uintmax_t{3} << 30);

#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of address space, so no limit can be set; the lookup
    // still has to come back, and at once.
    EXPECT_EQ(prefix.lookUp(CodKey), "");
#else
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{std::size_t{1} << 30, std::size_t{1} << 30};
        ::setrlimit(RLIMIT_AS, &limit);
        WineRegistry registry(prefix.systemRegPath().parent_path());
        const RegValue value = QueryRegValue(registry, RootKeyLocalMachine, CodKey, "InstallPath");
        ::_exit(RegValueText(value).empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the lookup ended the program (signal "
                                   << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the lookup found a value past the size limit";
#endif
}

} // namespace
