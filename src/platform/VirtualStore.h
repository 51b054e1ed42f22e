// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The file a Windows program without a manifest really uses at `windowsPath`: the copy Windows
// redirected into the user's VirtualStore when there is one, else the path itself (Windows
// builds only).
std::string ThroughVirtualStore(const std::string& windowsPath);
