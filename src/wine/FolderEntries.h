// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <vector>

// The entries of `folder` in name order, so that of two prefixes that hold a game the same one
// always answers. None when it cannot be listed; those listed so far when it vanishes meanwhile.
// Far more prefixes than anyone keeps: only the first 4096 entries are looked at.
std::vector<std::filesystem::path> EntriesOf(const std::filesystem::path& folder);
