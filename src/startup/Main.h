// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One edit cycle: compose the title, choose the game (asking only when United Offensive is
// installed), find and read its config file, locate the name entry and open the editor without
// blocking. Runs at start and again from the editor's Save and Cancel. A failure shows one
// message and closes every window, which ends the program.
void Main();

// Once, before the first cycle: adds the fonts a bundle carries in a fonts/ folder beside the
// program (the portable Linux build's Liberation Mono, see AddFontsFromFolder); none elsewhere.
void AddBundledFonts();
