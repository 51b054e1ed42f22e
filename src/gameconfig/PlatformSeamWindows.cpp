// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameconfig/PlatformSeam.h"
#include "platform/VirtualStore.h"

RegistryApi& PlatformRegistry() {
    return WindowsRegistry();
}

std::string HostPathFor(const std::string& windowsPath) {
    return ThroughVirtualStore(windowsPath);
}
