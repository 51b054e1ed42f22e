// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WindowChild.h"

#include <filesystem>

// The parent's side of a window process: starts this program again in window mode and reads its
// report.

// The command-line switch that makes this program a window process: `<program> --window <kind>`.
inline constexpr std::string_view WindowSwitch = "--window";

struct WindowRun {
    double startupMs = 0; // from just before the process was started to its window shown
    double peakKiB = 0;
};

// Runs one window process of `kind` on the offscreen platform with $WINEPREFIX set to `prefix`.
// Its error output goes to `errorLog`, which a failure quotes. Throws when the process fails.
WindowRun RunWindowProcessOnce(WindowKind kind, const std::filesystem::path& prefix,
                               const std::filesystem::path& errorLog);
