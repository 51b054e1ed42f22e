// SPDX-License-Identifier: GPL-3.0-or-later
#include "wine/WinePrefix.h"

#include "platform/AsciiText.h"
#include "platform/HostEnvironment.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The components of a path below the drive's root, resolved as Windows resolves them before
// any file is touched: empty ones and "." vanish, ".." drops the one before it but never
// climbs above the root ("C:\.." is "C:\").
std::vector<std::string> ResolvedComponents(std::string_view rest) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const auto end = std::find_if(rest.begin() + static_cast<std::ptrdiff_t>(start), rest.end(),
                                      IsSeparator) -
                         rest.begin();
        const std::string_view component =
            rest.substr(start, static_cast<std::size_t>(end) - start);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.emplace_back(component);
        }
        start = static_cast<std::size_t>(end) + 1;
    }
    return components;
}

bool EntryExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// The entry of `folder` that `component` names: itself when such an entry exists, else one
// that differs only in the case of ASCII letters (the first in byte order when there are
// several, so that the answer never depends on the order of the folder listing).
std::optional<std::string> FindEntry(const fs::path& folder, const std::string& component) {
    if (EntryExists(folder / component))
        return component;
    std::optional<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (SameIgnoringAsciiCase(name, component) && (!found || name < *found))
            found = std::move(name);
    }
    return found;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path == "/" ? "" : path;
}

// The folder a drive's link leads to, so that paths read as the user knows them
// (<prefix>/drive_c/..., or /home/... through z:). The link itself when it leads nowhere.
fs::path DriveFolder(const fs::path& driveLink) {
    std::error_code error;
    const fs::path target = fs::read_symlink(driveLink, error);
    if (error || target.empty())
        return driveLink;
    const fs::path folder =
        target.is_absolute() ? target : (driveLink.parent_path() / target).lexically_normal();
    // ".." after a linked folder is not lexical; then the link is the only safe name.
    if (!fs::equivalent(folder, driveLink, error) || error)
        return driveLink;
    return folder;
}

// A path that cannot be mapped stays a Windows path, written with backslashes only ("/" is a
// separator there too): then it is no absolute host path either, and names no file on the host.
std::string Unmapped(std::string windowsPath) {
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    return windowsPath;
}

} // namespace

std::string CurrentWinePrefix() {
    std::string prefix = EnvOrEmpty("WINEPREFIX");
    if (!prefix.empty())
        return prefix;
    return HomeFolder() + "/.wine";
}

std::string MapIntoPrefix(const std::string& prefixDir, const std::string& windowsPath) {
    // Without a drive letter (a relative path, "\\server\share") there is no drive to map onto;
    // a NUL byte would cut the path short on its way to the system.
    if (windowsPath.size() < 2 || !IsAsciiLetter(windowsPath[0]) || windowsPath[1] != ':' ||
        windowsPath.find('\0') != std::string::npos)
        return Unmapped(windowsPath);

    const fs::path driveLink =
        WithoutTrailingSlashes(prefixDir) + "/dosdevices/" + AsciiLower(windowsPath[0]) + ":";
    if (!EntryExists(driveLink))
        return Unmapped(windowsPath); // a drive Wine does not know
    std::string hostPath = DriveFolder(driveLink).string();

    bool folderExists = true;
    for (const std::string& component :
         ResolvedComponents(std::string_view(windowsPath).substr(2))) {
        std::optional<std::string> entry;
        if (folderExists)
            entry = FindEntry(hostPath, component);
        folderExists = entry.has_value();
        // Joined as text: a component is a name, never a root or a drive of its own.
        if (!hostPath.ends_with('/'))
            hostPath += '/';
        hostPath += entry.value_or(component);
    }
    return hostPath;
}
