// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the program asks of Qt's platform before QApplication is made, unless the user asked for
// something else. One source per platform, chosen in CMake.
void ApplyPlatformDefaults();
