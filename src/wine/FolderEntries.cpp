// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/FolderEntries.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t MaxFolderEntries = 4096;

} // namespace

std::vector<fs::path> EntriesOf(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end;
         !error && it != end && entries.size() < MaxFolderEntries; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return entries;
}
