// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostFiles.h"
#include "wine/FolderEntries.h"
#include "wine/LauncherPrefixes.h"

#include <algorithm>
#include <exception>
#include <nlohmann/json.hpp>
#include <system_error>
#include <yaml-cpp/yaml.h>

namespace fs = std::filesystem;

namespace {

// A launcher's config holds a few dozen lines; a larger file is none of them.
constexpr std::size_t MaxConfigBytes = 1 << 20;

// Adds `folder` when it is a prefix, unless it was found before.
void AddPrefix(FoundFolders& found, const fs::path& folder) {
    if (IsWinePrefix(folder))
        found.add(folder);
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

// A folder as launchers write it: an absolute path, or one below the home folder ("~/...").
// Nothing for anything else, which would depend on where the program was started.
std::optional<fs::path> FolderFromSetting(const std::string& setting, const fs::path& home) {
    fs::path path = setting;
    if (setting == "~")
        path = home;
    else if (setting.starts_with("~/"))
        path = home / setting.substr(2);
    if (!path.is_absolute())
        return std::nullopt;
    return path;
}

// The text at `key` of a JSON object, or nothing when it is missing or no text.
std::optional<std::string> JsonTextAt(const nlohmann::json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string())
        return std::nullopt;
    return found->get<std::string>();
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
    return FolderFromSetting(*prefix, home);
}

std::vector<fs::path> HeroicGamePrefixes(std::string_view jsonText, const fs::path& home) {
    // Without exceptions: a text that does not parse gives a "discarded" value, no object.
    const nlohmann::json settings =
        nlohmann::json::parse(jsonText.begin(), jsonText.end(), nullptr, false);
    if (!settings.is_object())
        return {};
    std::vector<fs::path> prefixes;
    for (const nlohmann::json& game :
         settings) { // by app name; "version" and the like are no games
        if (!game.is_object())
            continue;
        const std::optional<fs::path> prefix =
            FolderFromSetting(JsonTextAt(game, "winePrefix").value_or(""), home);
        if (!prefix)
            continue;
        const auto wine = game.find("wineVersion");
        const bool proton =
            wine != game.end() && wine->is_object() && JsonTextAt(*wine, "type") == "proton";
        prefixes.push_back(proton ? *prefix / "pfx" : *prefix);
    }
    return prefixes;
}

std::vector<fs::path> LutrisPrefixes(const UserFolders& user) {
    const fs::path flatpak = user.home / ".var/app/net.lutris.Lutris";
    FoundFolders prefixes;
    for (const fs::path& folder : {user.config / "lutris/games", user.data / "lutris/games",
                                   flatpak / "config/lutris/games", flatpak / "data/lutris/games"})
        for (const fs::path& config : EntriesOf(folder))
            if (const std::optional<fs::path> prefix = PrefixNamedBy(config, user.home))
                AddPrefix(prefixes, *prefix);
    for (const fs::path& folder : EntriesOf(user.home / "Games"))
        AddPrefix(prefixes, folder);
    return prefixes.paths();
}

std::vector<fs::path> BottlesPrefixes(const UserFolders& user) {
    FoundFolders prefixes;
    for (const fs::path& base :
         {user.data / "bottles", user.home / ".var/app/com.usebottles.bottles/data/bottles"})
        for (const fs::path& entry : EntriesOf(BottlesFolder(base))) {
            if (IsWinePrefix(entry))
                prefixes.add(entry);
            else // a placeholder holds no drive_c
                AddPrefix(prefixes, PlaceholderTarget(entry));
        }
    return prefixes.paths();
}

std::vector<fs::path> HeroicPrefixes(const UserFolders& user) {
    const fs::path flatpak = user.home / ".var/app/com.heroicgameslauncher.hgl";
    FoundFolders prefixes;
    for (const fs::path& folder :
         {user.config / "heroic/GamesConfig", flatpak / "config/heroic/GamesConfig"})
        for (const fs::path& settings : EntriesOf(folder)) {
            if (settings.extension() != ".json")
                continue;
            const Outcome<std::string> text = ReadWholeFile(settings.string(), MaxConfigBytes);
            if (text)
                for (const fs::path& prefix : HeroicGamePrefixes(text.value(), user.home))
                    AddPrefix(prefixes, prefix);
        }
    for (const fs::path& entry : EntriesOf(user.home / "Games/Heroic/Prefixes/default")) {
        AddPrefix(prefixes, entry);
        AddPrefix(prefixes, entry / "pfx");
    }
    return prefixes.paths();
}

std::vector<fs::path> PlayOnLinuxPrefixes(const fs::path& home) {
    FoundFolders prefixes;
    for (const fs::path& entry : EntriesOf(home / ".PlayOnLinux/wineprefix"))
        AddPrefix(prefixes, entry);
    return prefixes.paths();
}

std::vector<fs::path> CrossOverPrefixes(const fs::path& home) {
    FoundFolders prefixes;
    for (const fs::path& bottle : EntriesOf(home / ".cxoffice"))
        if (IsOrdinaryFile((bottle / "cxbottle.conf").string()))
            AddPrefix(prefixes, bottle);
    return prefixes.paths();
}
