#include "gameconfig/HostFiles.h"
#include "gameconfig/HostPaths.h"

#include <windows.h>

namespace {

std::string LocalAppData() {
    char buffer[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", buffer, sizeof buffer);
    return (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : std::string();
}

// "C:\Program Files\Game\Main\x.cfg" -> "\Program Files\Game\Main\x.cfg"; empty when the path
// has no drive letter.
std::string WithoutDrive(const std::string& path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\')
        return {};
    return path.substr(2);
}

} // namespace

// A 32-bit game without a manifest that may not write under Program Files has its writes
// redirected to the VirtualStore of the user: a file there is the one the game really uses.
std::string HostPathFor(const std::string& windowsPath) {
    const std::string store = LocalAppData();
    const std::string relative = WithoutDrive(windowsPath);
    if (!store.empty() && !relative.empty()) {
        const std::string redirected = store + "\\VirtualStore" + relative;
        if (IsOrdinaryFile(redirected))
            return redirected;
    }
    return windowsPath;
}
