// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// A Wine prefix: the folder that holds a Windows installation's registry files (system.reg is
// HKEY_LOCAL_MACHINE) and its drives (dosdevices/c: links to drive_c, z: to /).

// The prefix Wine itself would use: $WINEPREFIX when set and not empty, else ~/.wine.
std::string CurrentWinePrefix();

// Maps a Windows path into the prefix as Wine does: the drive letter through the link
// <prefix>/dosdevices/<letter>: (lower case) to the folder it leads to, backslashes as separators
// (empty components, as in "Duty\\Main", are skipped), and each component matched exactly when such
// an entry exists, else without regard to case. Components that exist nowhere are kept as written.
// A path without a drive letter or with an unknown drive comes back as written, but with any
// forward slashes as backslashes: still a Windows path, which names no file on the host.
std::string MapIntoPrefix(const std::string& prefixDir, const std::string& windowsPath);
