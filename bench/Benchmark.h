// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The whole benchmark: every measurement side by side with its baseline, in interleaved rounds
// so that a machine getting busier or quieter meanwhile shifts both alike.

struct FileCase {
    std::size_t bytes = 0;
    int rounds = 0;
};

struct BenchOptions {
    std::filesystem::path samplePrefix; // the committed demo/ folder
    int windowRounds = 21;
    // The launchers' prefixes the program passes over at start-up: so many bottles of Bottles,
    // each with a registry file of so many bytes that does not hold the game.
    int bottles = 30;
    std::size_t bottleRegBytes = std::size_t{3} << 20;
    // The Steam Play prefixes of other games the program must not read at start-up, each with a
    // registry file of bottleRegBytes.
    int steamPrefixes = 200;
    std::vector<FileCase> files = {{1 << 20, 21}, {64 << 20, 7}};
    std::size_t sampleNames = 1000;
    int codecPasses = 200;
    int codecRounds = 9;
    bool warmUp = true; // one unrecorded round first, so that every round finds the caches warm
};

// Tiny sizes and one round of everything (after the warm-up round): shows that the report works,
// measures nothing worth keeping.
BenchOptions QuickOptions();

// "4KiB", "1MiB", "64MiB": the size in whole units, as a goal's name carries it; with a separator
// " " it reads "1 MiB".
std::string SizeLabel(std::size_t bytes, std::string_view separator = "");

// Runs everything and writes the table to `out`, then one goal line each. Progress goes to
// `progress`. Throws when a measurement cannot be taken.
void RunBenchmark(const BenchOptions& options, std::ostream& out, std::ostream& progress);
