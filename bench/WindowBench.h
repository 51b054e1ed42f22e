// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Benchmark.h"
#include "Report.h"

#include <filesystem>

// Start-up time (wall and CPU) and peak memory of the editor against a bare Qt window, each in
// processes of its own, on copies of the sample prefix in `scratch`; and the editor's start with
// the sample as ~/.wine among bottles of Bottles that do not hold the game, against its start with
// ~/.wine alone, and beside a Steam installation with Steam Play prefixes of other games. Adds the
// rows and the goals "startup_cpu", "startup_prefixes", "startup_steam_prefixes" and "memory" to
// `report`.
void MeasureWindows(const BenchOptions& options, const std::filesystem::path& scratch,
                    Report& report);
