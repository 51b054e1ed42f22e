// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlatformDefaults.h"

// Elsewhere Qt's own defaults are the right ones.
void ApplyPlatformDefaults() {}
