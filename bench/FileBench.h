// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Benchmark.h"
#include "Report.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// What saving a name costs against the least any program can do: read the file and write the
// same bytes back through a new file renamed over it.

// A config file of exactly `size` bytes (at least 128) in the game's style: bind and seta lines,
// with the name entry `seta name "<name>"` half-way through.
std::string MakeConfigText(std::size_t size, std::string_view name);

// Tintwell's save, as a click on Save does it: reads the file (ReadCfgFile), finds its name
// entry (LocateNameEntry) and puts `tag` there (SaveCfgFile). Throws with the user's message.
void ReadLocateSave(const std::filesystem::path& file, std::string_view tag);

// The plain copy with the save's durability: reads the file, writes its bytes to a new file in
// the same folder, flushes that to disk, renames it over the old one and flushes the folder.
void PlainCopy(const std::filesystem::path& file);

// Times ReadLocateSave against PlainCopy on two files of `file.bytes` in `scratch`, checks that
// both hold what they should afterwards, and adds the row and the goal "save_<size>" to `report`.
void MeasureSave(const FileCase& file, bool warmUp, const std::filesystem::path& scratch,
                 Report& report);
