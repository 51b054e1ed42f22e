// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Whether a game is running, from the command lines of the running processes. The game keeps the
// player's name in memory and writes its config file when it quits, so a name saved meanwhile
// would be put back to the old one.

// A process's command line, argument by argument.
using CommandLine = std::vector<std::string>;

// Whether one of `processes` runs `program` (a file name such as "CoDMP.exe", in any letter
// case): an argument that is the name, or ends in it after '\' or '/'. That covers the program
// itself, as Windows and Wine list it ("C:\Games\Call of Duty\CoDMP.exe"), and the launchers that
// start it under Wine or Proton, which name it further on. A dedicated server (one whose command
// line sets "dedicated" to anything but 0) plays no player and does not count.
bool RunsProgram(const std::vector<CommandLine>& processes, std::string_view program);

// The command lines of the running processes, one source per platform. On Linux they are read
// from the process table mounted at `procRoot`; a process that cannot be read (gone meanwhile, or
// hidden from this user) is left out. On Windows the system's process list holds no command lines
// (reading another process's costs a look into its memory), so each process is its program's file
// name alone, and `procRoot` is not used: there a dedicated server counts as a running game.
std::vector<CommandLine> SystemCommandLines(const std::string& procRoot = "/proc");

// What the program goes by: the system's command lines, or those a test put in their place.
std::vector<CommandLine> RunningCommandLines();

// Tests: while the object lives, RunningCommandLines answers `processes`.
class ScopedRunningCommandLines {
public:
    explicit ScopedRunningCommandLines(std::vector<CommandLine> processes);
    ~ScopedRunningCommandLines();
    ScopedRunningCommandLines(const ScopedRunningCommandLines&) = delete;
    ScopedRunningCommandLines& operator=(const ScopedRunningCommandLines&) = delete;

private:
    std::optional<std::vector<CommandLine>> m_previous;
};
