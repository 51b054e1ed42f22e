// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One edit cycle: compose the title, choose the game (asking only when United Offensive is
// installed), find and read its config file, locate the name entry and open the editor without
// blocking. Runs at start and again from the editor's Save and Cancel. A failure shows one
// message and closes every window, which ends the program.
void Main();
