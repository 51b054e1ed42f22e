// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowChild.h"

#include <filesystem>
#include <string>
#include <vector>

// The parent's side of a window process: starts this program again in window mode and reads its
// report.

// The command-line switch that makes this program a window process: `<program> --window <kind>`.
inline constexpr std::string_view WindowSwitch = "--window";

struct WindowRun {
    double startupMs = 0; // wall time from just before the process was started to its window shown
    double cpuMs = 0;     // the process's CPU time, user and system, over its whole life
    double peakKiB = 0;
};

// A child process run to its end: its wait status, what it wrote to its standard output and the
// CPU time it used, user and system, as the system counted it when the child ended.
struct FinishedProcess {
    int status = 0;
    std::string output;
    double cpuMs = 0;
};

// Starts `arguments` (the program's path first) with `environment` ("NAME=value" each), its error
// output going to `errorLog`, and waits for its end. Throws when it cannot be started.
FinishedProcess RunProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                           const std::filesystem::path& errorLog);

// Runs one window process of `kind` on the offscreen platform, with `settings` ("NAME=value") in
// its environment, e.g. $WINEPREFIX. Its error output goes to `errorLog`, which a failure quotes.
// Throws when the process fails.
WindowRun RunWindowProcessOnce(WindowKind kind, const std::vector<std::string>& settings,
                               const std::filesystem::path& errorLog);
