#include "gameconfig/HostPaths.h"
#include "gameconfig/WinePrefix.h"

// Without a Windows of its own, the program finds the games where Linux users have them: in the
// current Wine prefix.
std::string HostPathFor(const std::string& windowsPath) {
    return MapIntoPrefix(CurrentWinePrefix(), windowsPath);
}
