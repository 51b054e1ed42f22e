// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AsciiText.h"
#include "platform/HostFiles.h"
#include "platform/VirtualStore.h"

#include <windows.h>

namespace {

// An environment variable of any length; empty when it is not set.
std::string EnvironmentVariable(const char* name) {
    std::string value(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length); // too small: `length` is the size needed, the NUL included
    }
}

// The letter of the drive Windows is installed on ('c'); 0 when the system does not say.
char SystemDriveLetter() {
    char folder[MAX_PATH + 1];
    const UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length < 2 || length >= sizeof folder || folder[1] != ':')
        return 0;
    return AsciiLower(folder[0]);
}

// "C:\Program Files\Game\Main\x.cfg" -> "\Program Files\Game\Main\x.cfg". Windows virtualizes
// only folders of the system drive, so a path on any other drive (or on none) gives "".
std::string BelowSystemDrive(const std::string& path) {
    if (path.size() < 3 || path[1] != ':' || !IsSeparator(path[2]))
        return {};
    const char drive = SystemDriveLetter();
    if (drive == 0 || AsciiLower(path[0]) != drive)
        return {};
    return path.substr(2);
}

std::string WithoutTrailingSeparators(std::string path) {
    while (!path.empty() && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

} // namespace

// The composed path is the file, with one exception. A 32-bit game without a manifest that may
// not write under Program Files has its writes redirected to the user's VirtualStore
// (%LOCALAPPDATA%\VirtualStore\<path without the drive>); once a copy is there, the game reads
// that copy. Tintwell itself runs without that redirection (its manifest says asInvoker), so it
// has to look there itself.
std::string ThroughVirtualStore(const std::string& windowsPath) {
    const std::string relative = BelowSystemDrive(windowsPath);
    const std::string store = WithoutTrailingSeparators(EnvironmentVariable("LOCALAPPDATA"));
    if (!relative.empty() && !store.empty()) {
        const std::string redirected = store + "\\VirtualStore" + relative;
        if (IsOrdinaryFile(redirected))
            return redirected;
    }
    return windowsPath;
}
