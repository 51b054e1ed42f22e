// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RunningPrograms.h"

#include "support/TestPrefix.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

const CommandLine Cod = {"C:\\Games\\Call of Duty\\CoDMP.exe", "+set", "fs_game", "awe"};
const CommandLine CodServer = {"C:\\Games\\CoD\\CoDMP.exe", "+set", "dedicated", "2", "+map", "x"};

TEST(RunsProgram, TellsTheGameFromEverythingElse) {
    const char* const Mp = "CoDMP.exe";
    const struct {
        const char* label;
        std::vector<CommandLine> processes;
        const char* program;
        bool running;
    } cases[] = {
        {"as Windows lists it", {{"CoDMP.exe"}}, Mp, true},
        {"any letter case", {{"c:\\games\\cod\\codmp.EXE"}}, Mp, true},
        {"Wine: the Windows path first", {{"/usr/bin/bash"}, Cod}, Mp, true},
        {"after wine", {{"wine", "C:\\Games\\Call of Duty\\CoDMP.exe"}}, Mp, true},
        {"after proton", {{"python3", "/Proton/proton", "run", "/CoD/CoDMP.exe"}}, Mp, true},
        {"merely holding it", {{"/bin/myCoDMP.exe"}, {"vi", "/CoDMP.exe.txt"}}, Mp, false},
        {"a dedicated server", {CodServer}, Mp, false},
        {"dedicated, one argument", {{"wine", "CoDMP.exe", "+set dedicated 1"}}, Mp, false},
        {"dedicated 0 plays", {{"CoDMP.exe", "+set", "dedicated", "0"}}, Mp, true},
        {"a player beside a dedicated server", {CodServer, Cod}, Mp, true},
        {"United Offensive is another game", {{"C:\\UO\\CoDUOMP.exe"}}, Mp, false},
        {"United Offensive itself", {Cod, {"C:\\UO\\CoDUOMP.exe"}}, "CoDUOMP.exe", true},
        {"nothing running", {}, Mp, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunsProgram(c.processes, c.program), c.running) << c.label;
}

TEST(SystemCommandLines, FindsThisTestProgram) {
#ifdef _WIN32
    EXPECT_TRUE(RunsProgram(SystemCommandLines(), "test_running_programs.exe"));
#else
    EXPECT_TRUE(RunsProgram(SystemCommandLines(), "test_running_programs"));
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
