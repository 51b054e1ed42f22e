// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/SteamLibraries.h"

#include "platform/HostFiles.h"
#include "wine/FolderEntries.h"
#include "wine/Vdf.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Where Steam keeps itself below the home folder: ~/.steam/steam usually links to the native
// installation in ~/.local/share/Steam; the Flatpak and the Snap keep theirs in their own data.
constexpr const char* RootsBelowHome[] = {
    ".steam/steam",
    ".local/share/Steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
    "snap/steam/common/.local/share/Steam",
};

// A real libraryfolders.vdf lists every installed app and stays well below this.
constexpr std::size_t MaxVdfBytes = 16 * 1024 * 1024;

bool IsNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The existing folder `path` names, resolved through every link; nothing when there is none.
std::optional<fs::path> ExistingFolder(const fs::path& path) {
    std::error_code error;
    if (!fs::is_directory(path, error))
        return std::nullopt;
    fs::path canonical = fs::canonical(path, error);
    if (error)
        return std::nullopt;
    return canonical;
}

std::vector<std::string> LibraryFoldersOf(const fs::path& root) {
    const Outcome<std::string> text =
        ReadWholeFile((root / "steamapps" / "libraryfolders.vdf").string(), MaxVdfBytes);
    return text ? LibraryFoldersIn(text.value()) : std::vector<std::string>();
}

// The app ids of every Steam user's non-Steam games in the installation at `root`.
std::vector<std::string> ShortcutAppIdsOf(const fs::path& root) {
    std::vector<std::string> appIds;
    for (const fs::path& user : EntriesOf(root / "userdata")) {
        const Outcome<std::string> bytes =
            ReadWholeFile((user / "config" / "shortcuts.vdf").string(), MaxVdfBytes);
        if (bytes)
            for (std::string& appId : ShortcutAppIdsIn(bytes.value()))
                appIds.push_back(std::move(appId));
    }
    return appIds;
}

// The prefix Steam Play made for `appId` in each library, where it exists.
void AddPrefixesOf(FoundFolders& prefixes, const std::vector<fs::path>& libraries,
                   const std::string& appId) {
    for (const fs::path& library : libraries) {
        const fs::path prefix = library / "steamapps" / "compatdata" / appId / "pfx";
        std::error_code error;
        if (fs::is_directory(prefix, error))
            prefixes.add(prefix);
    }
}

} // namespace

std::vector<std::string> LibraryFoldersIn(std::string_view vdfText) {
    const std::optional<std::vector<VdfEntry>> entries = ParseVdf(vdfText);
    if (!entries)
        return {};
    const VdfEntry* top = FindVdfEntry(*entries, "libraryfolders");
    if (!top || !top->isBlock)
        return {};

    std::vector<std::string> folders;
    for (const VdfEntry& library : top->children) {
        if (!IsNumber(library.key))
            continue; // "contentstatsid", "TimeNextStatsReport" and the like
        const VdfEntry* path = library.isBlock ? FindVdfEntry(library.children, "path") : &library;
        if (path && !path->isBlock && !path->value.empty())
            folders.push_back(path->value);
    }
    return folders;
}

std::vector<fs::path> SteamRoots(const fs::path& home) {
    FoundFolders roots;
    for (const char* below : RootsBelowHome)
        if (std::optional<fs::path> root = ExistingFolder(home / below))
            roots.add(*root);
    return roots.paths();
}

std::vector<fs::path> SteamLibraries(const fs::path& home) {
    FoundFolders libraries;
    for (const fs::path& root : SteamRoots(home)) {
        libraries.add(root);
        for (const std::string& listed : LibraryFoldersOf(root)) {
            // Only absolute paths name a folder; a relative one would depend on where we run.
            if (!fs::path(listed).is_absolute())
                continue;
            if (std::optional<fs::path> library = ExistingFolder(listed))
                libraries.add(*library);
        }
    }
    return libraries.paths();
}

std::vector<std::string> ShortcutAppIdsIn(std::string_view vdfBytes) {
    const std::optional<std::vector<VdfEntry>> entries = ParseBinaryVdf(vdfBytes);
    const VdfEntry* shortcuts = entries ? FindVdfEntry(*entries, "shortcuts") : nullptr;
    if (!shortcuts || !shortcuts->isBlock)
        return {};
    std::vector<std::string> appIds;
    for (const VdfEntry& shortcut : shortcuts->children) {
        const VdfEntry* appId = FindVdfEntry(shortcut.children, "appid");
        if (appId && !appId->isBlock && IsNumber(appId->value))
            appIds.push_back(appId->value);
    }
    return appIds;
}

std::vector<fs::path> SteamPlayPrefixes(const fs::path& home) {
    const std::vector<fs::path> libraries = SteamLibraries(home);
    FoundFolders prefixes;
    for (const int app : {SteamAppCallOfDuty, SteamAppUnitedOffensive})
        AddPrefixesOf(prefixes, libraries, std::to_string(app));
    return prefixes.paths();
}

std::vector<fs::path> SteamShortcutPrefixes(const fs::path& home) {
    FoundFolders prefixes;
    const std::vector<fs::path> libraries = SteamLibraries(home);
    for (const fs::path& root : SteamRoots(home))
        for (const std::string& appId : ShortcutAppIdsOf(root))
            AddPrefixesOf(prefixes, libraries, appId);
    return prefixes.paths();
}
