// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostFiles.h"
#include "wine/LauncherPrefixes.h"

#include <algorithm>
#include <exception>
#include <sys/stat.h>
#include <system_error>
#include <yaml-cpp/yaml.h>

namespace fs = std::filesystem;

namespace {

// A launcher's config holds a few dozen lines; a larger file is none of them.
constexpr std::size_t MaxConfigBytes = 1 << 20;

// Far more prefixes than anyone keeps; only so many entries of a folder are looked at.
constexpr std::size_t MaxFolderEntries = 4096;

// The entries of `folder` in name order, so that of two prefixes that hold a game the same one
// always answers. None when it cannot be listed; those listed so far when it vanishes meanwhile.
std::vector<fs::path> EntriesOf(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end;
         !error && it != end && entries.size() < MaxFolderEntries; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The prefixes found so far, and the folders they are.
struct FoundPrefixes {
    std::vector<fs::path> paths;
    std::vector<FolderIdentity> folders;
};

// Adds a folder known to be a prefix, unless it was found before.
void AddFound(FoundPrefixes& found, const fs::path& folder) {
    const std::optional<FolderIdentity> identity = IdentityOf(folder);
    if (!identity ||
        std::find(found.folders.begin(), found.folders.end(), *identity) != found.folders.end())
        return;
    found.folders.push_back(*identity);
    found.paths.push_back(folder);
}

void AddPrefix(FoundPrefixes& found, const fs::path& folder) {
    if (IsWinePrefix(folder))
        AddFound(found, folder);
}

// A YAML document whose top is a mapping; nothing for anything else. yaml-cpp limits the
// nesting, and says what it cannot parse by throwing.
std::optional<YAML::Node> ParseYamlMapping(std::string_view text) {
    try {
        YAML::Node document = YAML::Load(std::string(text));
        if (document.IsMap())
            return document;
    } catch (const YAML::Exception&) {
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<YAML::Node> ReadYamlMapping(const fs::path& file) {
    const Outcome<std::string> text = ReadWholeFile(file.string(), MaxConfigBytes);
    return text ? ParseYamlMapping(text.value()) : std::nullopt;
}

// The entry `key` of a mapping when it is a plain text.
std::optional<std::string> TextAt(const YAML::Node& mapping, const char* key) {
    try {
        const YAML::Node value = mapping[key];
        if (value.IsScalar())
            return value.Scalar();
    } catch (const YAML::Exception&) {
    }
    return std::nullopt;
}

std::optional<fs::path> PrefixNamedBy(const fs::path& config, const fs::path& home) {
    if (config.extension() != ".yml")
        return std::nullopt;
    const Outcome<std::string> text = ReadWholeFile(config.string(), MaxConfigBytes);
    return text ? LutrisGamePrefix(text.value(), home) : std::nullopt;
}

// The folder of the bottles: <base>/bottles, unless data.yml names another that exists.
fs::path BottlesFolder(const fs::path& base) {
    if (const std::optional<YAML::Node> data = ReadYamlMapping(base / "data.yml")) {
        const fs::path custom = TextAt(*data, "custom_bottles_path").value_or("");
        std::error_code error;
        if (custom.is_absolute() && fs::is_directory(custom, error))
            return custom;
    }
    return base / "bottles";
}

// The folder of a bottle made elsewhere: what the placeholder.yml in its entry names in Path (as
// a folder or as that folder's bottle.yml); the entry itself when there is none.
fs::path PlaceholderTarget(const fs::path& entry) {
    const std::optional<YAML::Node> placeholder = ReadYamlMapping(entry / "placeholder.yml");
    fs::path named = placeholder ? TextAt(*placeholder, "Path").value_or("") : "";
    if (named.filename() == "bottle.yml")
        named = named.parent_path();
    return named.is_absolute() ? named : entry;
}

} // namespace

UserFolders UserFoldersFrom(const fs::path& home, const std::string& xdgConfigHome,
                            const std::string& xdgDataHome) {
    const auto folder = [](const std::string& variable, const fs::path& otherwise) {
        return fs::path(variable).is_absolute() ? fs::path(variable) : otherwise;
    };
    return {home, folder(xdgConfigHome, home / ".config"),
            folder(xdgDataHome, home / ".local" / "share")};
}

bool IsWinePrefix(const fs::path& folder) {
    std::error_code error;
    return fs::is_directory(folder / "drive_c", error) &&
           IsOrdinaryFile((folder / "system.reg").string());
}

std::optional<FolderIdentity> IdentityOf(const fs::path& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return std::nullopt;
    return FolderIdentity{static_cast<std::uint64_t>(info.st_dev),
                          static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<fs::path> LutrisGamePrefix(std::string_view configText, const fs::path& home) {
    // Most configs of a big library are of games without Wine: they need no parse.
    if (configText.find("prefix") == std::string_view::npos)
        return std::nullopt;
    const std::optional<YAML::Node> config = ParseYamlMapping(configText);
    if (!config)
        return std::nullopt;
    std::optional<std::string> prefix;
    try {
        const YAML::Node game = (*config)["game"];
        if (game.IsMap())
            prefix = TextAt(game, "prefix");
    } catch (const YAML::Exception&) {
    }
    if (!prefix || prefix->find('$') != std::string::npos)
        return std::nullopt;
    fs::path path = *prefix;
    if (*prefix == "~")
        path = home;
    else if (prefix->starts_with("~/"))
        path = home / prefix->substr(2);
    if (!path.is_absolute())
        return std::nullopt;
    return path;
}

std::vector<fs::path> LutrisPrefixes(const UserFolders& user) {
    const fs::path flatpak = user.home / ".var/app/net.lutris.Lutris";
    FoundPrefixes prefixes;
    for (const fs::path& folder : {user.config / "lutris/games", user.data / "lutris/games",
                                   flatpak / "config/lutris/games", flatpak / "data/lutris/games"})
        for (const fs::path& config : EntriesOf(folder))
            if (const std::optional<fs::path> prefix = PrefixNamedBy(config, user.home))
                AddPrefix(prefixes, *prefix);
    for (const fs::path& folder : EntriesOf(user.home / "Games"))
        AddPrefix(prefixes, folder);
    return prefixes.paths;
}

std::vector<fs::path> BottlesPrefixes(const UserFolders& user) {
    FoundPrefixes prefixes;
    for (const fs::path& base :
         {user.data / "bottles", user.home / ".var/app/com.usebottles.bottles/data/bottles"})
        for (const fs::path& entry : EntriesOf(BottlesFolder(base))) {
            if (IsWinePrefix(entry))
                AddFound(prefixes, entry);
            else // a placeholder holds no drive_c
                AddPrefix(prefixes, PlaceholderTarget(entry));
        }
    return prefixes.paths;
}

std::vector<fs::path> PlayOnLinuxPrefixes(const fs::path& home) {
    FoundPrefixes prefixes;
    for (const fs::path& entry : EntriesOf(home / ".PlayOnLinux/wineprefix"))
        AddPrefix(prefixes, entry);
    return prefixes.paths;
}
