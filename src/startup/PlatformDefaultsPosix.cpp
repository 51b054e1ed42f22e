// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/PlatformDefaults.h"

// On Linux and the other POSIX systems Qt's own defaults are the right ones.
void ApplyPlatformDefaults() {}
