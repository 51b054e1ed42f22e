// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/RunningPrograms.h"

#include "support/TestPrefix.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

const CommandLine Cod = {"C:\\Games\\Call of Duty\\CoDMP.exe", "+set", "fs_game", "awe"};
const CommandLine CodServer = {
    "C:\\Games\\Call of Duty\\CoDMP.exe", "+set", "dedicated", "2", "+map", "mp_carentan"};

TEST(RunsProgram, TellsTheGameFromEverythingElse) {
    const struct {
        const char* label;
        std::vector<CommandLine> processes;
        const char* program;
        bool running;
    } cases[] = {
        {"as Windows lists it", {{"CoDMP.exe"}}, "CoDMP.exe", true},
        {"in any letter case", {{"c:\\games\\cod\\codmp.EXE"}}, "CoDMP.exe", true},
        {"Wine: the Windows path first", {{"/usr/bin/bash"}, Cod}, "CoDMP.exe", true},
        {"a later argument of wine",
         {{"wine", "C:\\Games\\Call of Duty\\CoDMP.exe"}},
         "CoDMP.exe",
         true},
        {"a later argument of proton",
         {{"python3", "/steam/common/Proton 8.0/proton", "waitforexitandrun",
           "/steam/common/Call of Duty/CoDMP.exe"}},
         "CoDMP.exe",
         true},
        {"names that merely hold it",
         {{"/usr/bin/myCoDMP.exe"}, {"tail", "-f", "/tmp/CoDMP.exe.log"}, {"CoDMP"}},
         "CoDMP.exe",
         false},
        {"a dedicated server", {CodServer}, "CoDMP.exe", false},
        {"a dedicated server, its options in one argument",
         {{"wine", "CoDMP.exe", "+set dedicated 1 +map mp_dawnville"}},
         "CoDMP.exe",
         false},
        {"dedicated 0 is a player's game",
         {{"CoDMP.exe", "+set", "dedicated", "0"}},
         "CoDMP.exe",
         true},
        {"a player beside a dedicated server", {CodServer, Cod}, "CoDMP.exe", true},
        {"United Offensive is another game", {{"C:\\UO\\CoDUOMP.exe"}}, "CoDMP.exe", false},
        {"United Offensive itself", {Cod, {"C:\\UO\\CoDUOMP.exe"}}, "CoDUOMP.exe", true},
        {"nothing running", {}, "CoDMP.exe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunsProgram(c.processes, c.program), c.running) << c.label;
}

TEST(SystemCommandLines, FindsThisTestProgram) {
#ifdef _WIN32
    EXPECT_TRUE(RunsProgram(SystemCommandLines(), "test_runningprograms.exe"));
#else
    EXPECT_TRUE(RunsProgram(SystemCommandLines(), "test_runningprograms"));
#endif
}

#ifndef _WIN32
TEST(SystemCommandLines, SkipsWhatCannotBeRead) {
    const TempDir proc;
    WriteBytes(proc.path() / "100" / "cmdline", "C:\\Games\\Call of Duty\\CoDMP.exe\0-n\0\0\0"s);
    WriteBytes(proc.path() / "101" / "cmdline", "");                      // a kernel thread
    std::filesystem::create_directories(proc.path() / "102");             // gone meanwhile
    std::filesystem::create_directories(proc.path() / "103" / "cmdline"); // cannot be read
    WriteBytes(proc.path() / "self" / "cmdline", "CoDMP.exe"s);           // not a process folder
    EXPECT_EQ(SystemCommandLines(proc.path().string()),
              (std::vector<CommandLine>{{"C:\\Games\\Call of Duty\\CoDMP.exe", "-n"}}));
    EXPECT_TRUE(SystemCommandLines((proc.path() / "missing").string()).empty());
}
#endif

} // namespace
