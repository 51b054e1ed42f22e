// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scratch.h"

#include "support/TestPrefix.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <linux/magic.h>
#include <optional>
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

std::string UnrelatedRegistry(std::size_t bytes) {
    std::string text =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    text.reserve(bytes + 512);
    for (int i = 0; text.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        text += "\n[Software\\\\Classes\\\\CLSID\\\\{" + n +
                "-0000-0000-C000-000000000046}\\\\InprocServer32] 1733500000\n"
                "#time=1db48a3f0c2e9a4\n@=\"C:\\\\windows\\\\system32\\\\ole32.dll\"\n"
                "\"ThreadingModel\"=\"Both\"\n"
                "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Program " +
                n + "] 1733500000\n\"DisplayName\"=\"Program " + n +
                "\"\n\"Data\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\n"
                "  15,16,17,18,19,1a,1b,1c\n";
    }
    return text;
}

void MakeBottles(const fs::path& home, int count, std::size_t regBytes) {
    const std::string registry = UnrelatedRegistry(regBytes);
    for (int i = 1; i <= count; ++i) {
        const fs::path bottle =
            home / ".local/share/bottles/bottles" / ("bottle-" + std::to_string(i));
        fs::create_directories(bottle / "drive_c");
        std::ofstream(bottle / "system.reg", std::ios::binary) << registry;
        std::ofstream(bottle / "bottle.yml")
            << "Name: bottle-" << i << "\nPath: bottle-" << i << "\nEnvironment: Gaming\n";
    }
}

std::string ShortcutsVdf(std::uint32_t appId) {
    // Each entry is a type byte (0x00 a map, 0x01 a text, 0x02 a 32-bit little-endian number), a
    // key ending in NUL and the value; 0x08 ends a map.
    std::string vdf;
    const auto entry = [&vdf](char type, std::string_view key, std::string_view value) {
        vdf += type;
        vdf += key;
        vdf += '\0';
        vdf += value;
    };
    const auto text = [&entry](std::string_view key, const std::string& value) {
        entry('\x01', key, value + '\0');
    };
    std::string littleEndian;
    for (int shift = 0; shift < 32; shift += 8)
        littleEndian += static_cast<char>(appId >> shift & 0xff);
    entry('\x00', "shortcuts", "");
    entry('\x00', "0", "");
    entry('\x02', "appid", littleEndian);
    text("AppName", "Some Game");
    text("Exe", "\"/path/game.exe\"");
    text("StartDir", "\"/path/\"");
    vdf += "\x08\x08\x08"; // the ends of the shortcut, of "shortcuts" and of the file
    return vdf;
}

void MakeSteamInstallation(const fs::path& home, const std::vector<std::uint32_t>& apps,
                           std::size_t regBytes, std::uint32_t shortcutApp) {
    const fs::path steam = home / ".local/share/Steam";
    std::optional<fs::path> firstRegistry;
    for (const std::uint32_t app : apps) {
        const fs::path prefix = steam / "steamapps/compatdata" / std::to_string(app) / "pfx";
        fs::create_directories(prefix / "drive_c");
        if (firstRegistry) {
            fs::create_hard_link(*firstRegistry, prefix / "system.reg");
        } else {
            firstRegistry = prefix / "system.reg";
            std::ofstream(*firstRegistry, std::ios::binary) << UnrelatedRegistry(regBytes);
        }
    }
    const fs::path config = steam / "userdata/12345678/config";
    fs::create_directories(config);
    std::ofstream(config / "shortcuts.vdf", std::ios::binary) << ShortcutsVdf(shortcutApp);
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
