// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/PlatformSeam.h"
#include "platform/VirtualStore.h"

RegistryApi& PlatformRegistry() {
    return WindowsRegistry();
}

void AskEachInstallRegistry(const std::function<bool(RegistryApi& registry)>& ask) {
    ask(WindowsRegistry());
}

// The Windows registry's paths are host paths; it gives no origin.
std::string HostPathFor(const std::string& /*origin*/, const std::string& windowsPath) {
    return ThroughVirtualStore(windowsPath);
}
