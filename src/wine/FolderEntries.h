// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HostFiles.h"

#include <filesystem>
#include <vector>

// The entries of `folder` in name order, so that of two prefixes that hold a game the same one
// always answers. None when it cannot be listed; those listed so far when it vanishes meanwhile.
// Far more prefixes than anyone keeps: only the first 4096 entries are looked at.
std::vector<std::filesystem::path> EntriesOf(const std::filesystem::path& folder);

// Folders found so far, in the order they were found, each once however many links lead to it
// (~/.wine may link to a launcher's prefix, a Lutris config may name a bottle). A folder that
// does not exist counts as its path.
class FoundFolders {
public:
    // Adds `folder` unless it was found before.
    void add(const std::filesystem::path& folder);
    const std::vector<std::filesystem::path>& paths() const { return m_paths; }

private:
    std::vector<std::filesystem::path> m_paths;
    std::vector<FileIdentity> m_identities;
};
