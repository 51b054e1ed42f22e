// SPDX-License-Identifier: GPL-3.0-or-later
// What the program's manifest changes (this test binary carries it, as the program does).

#include "gameconfig/PlatformSeam.h"
#include "platform/HostFiles.h"
#include "support/TestPrefix.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

TEST(ProgramManifest, MakesTheAnsiCodePageUtf8) {
    EXPECT_EQ(GetACP(), UINT{CP_UTF8});
}

// An install folder in a script no legacy code page holds in full (Czech, Greek, Cyrillic, CJK)
// is found, read and saved through the 8-bit file functions.
TEST(ProgramManifest, FilesInAnyScriptAreReachable) {
    TempDir dir;
    const std::u8string name = u8"Hry Čeština Ω Ж 游戏";
    const std::string folderName(reinterpret_cast<const char*>(name.data()), name.size());
    const fs::path folder = dir.path() / fs::path(name);
    WriteBytes(folder / "config_mp.cfg", "seta name \"old\"\n");
    const std::string cfg = dir.path().string() + "\\" + folderName + "\\config_mp.cfg";

    EXPECT_EQ(HostPathFor("", cfg), cfg); // the Windows registry gives no origin
    EXPECT_TRUE(IsOrdinaryFile(cfg));
    Outcome<std::string> read = ReadWholeFile(cfg);
    ASSERT_TRUE(read.ok()) << read.failure().message;
    EXPECT_EQ(read.value(), "seta name \"old\"\n");
    EXPECT_FALSE(ReplaceWholeFile(cfg, "seta name \"new\"\n").has_value());
    EXPECT_EQ(ReadBytes(folder / "config_mp.cfg"), "seta name \"new\"\n");
}

} // namespace
