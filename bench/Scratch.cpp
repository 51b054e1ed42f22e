// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scratch.h"

#include "support/TestPrefix.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <linux/magic.h>
#include <stdexcept>
#include <string>
#include <sys/vfs.h>

namespace fs = std::filesystem;

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void CopySamplePrefix(const fs::path& demo, const fs::path& target) {
    if (!fs::is_regular_file(demo / "system.reg"))
        throw std::runtime_error("no sample prefix at " + demo.string());
    fs::create_directories(target);
    fs::copy(demo, target, fs::copy_options::recursive);
    LinkWineDrives(target);
}

std::string WithoutRegistryKey(std::string_view regText, std::string_view key) {
    const std::string header = "[" + std::string(key) + "]";
    std::size_t start = regText.starts_with(header) ? 0 : regText.find("\n" + header);
    if (start == std::string_view::npos)
        throw std::runtime_error("no key " + std::string(key) + " in the sample registry");
    if (start != 0)
        ++start; // keep the line end before the key
    // The key's block ends where the next key begins.
    std::size_t end = regText.find("\n[", start);
    end = end == std::string_view::npos ? regText.size() : end + 1;
    return std::string(regText.substr(0, start)) + std::string(regText.substr(end));
}

std::string FileSystemOf(const fs::path& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0)
        return "unknown";
    switch (static_cast<unsigned long>(info.f_type)) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
        return "ext4";
    case TMPFS_MAGIC:
        return "tmpfs";
    case BTRFS_SUPER_MAGIC:
        return "btrfs";
    case XFS_SUPER_MAGIC:
        return "xfs";
    case OVERLAYFS_SUPER_MAGIC:
        return "overlayfs";
    default: {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(info.f_type));
        return hex;
    }
    }
}
