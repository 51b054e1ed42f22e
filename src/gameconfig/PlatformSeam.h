// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RegistryApi.h"

#include <functional>
#include <string>

// What the platform puts behind the install path lookup, one source per platform: the Windows
// registry on Windows, elsewhere the registries of the Wine prefixes the games live in.

// The registry the lookup reads (QueryRegValue, LookUpRegValue).
RegistryApi& PlatformRegistry();

// Each place a game may be installed in, one registry at a time, in the order PlatformRegistry
// asks them, until `ask` answers true: the Windows registry alone on Windows; elsewhere the
// registry of each Wine prefix on its own.
void AskEachInstallRegistry(const std::function<bool(RegistryApi& registry)>& ask);

// Where the game's files really are. The registry gives Windows paths ("C:\Games\Call of
// Duty\Main\config_mp.cfg") and the origin of each (LookUpRegValue): on Windows the path is the
// host path, elsewhere the game lives in the Wine prefix that is the origin, and the path is
// mapped into it the way Wine does.
//
// The result is in the host's encoding (UTF-8 under Wine's mapping). A path that cannot be
// mapped comes back unchanged, so that the existence test fails and the message quotes it.
std::string HostPathFor(const std::string& origin, const std::string& windowsPath);
