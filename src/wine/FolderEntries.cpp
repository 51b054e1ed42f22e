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

void FoundFolders::add(const fs::path& folder) {
    if (const std::optional<FileIdentity> identity = IdentityOf(folder.string())) {
        if (std::find(m_identities.begin(), m_identities.end(), *identity) != m_identities.end())
            return;
        m_identities.push_back(*identity);
    } else if (std::find(m_paths.begin(), m_paths.end(), folder) != m_paths.end()) {
        return;
    }
    m_paths.push_back(folder);
}
