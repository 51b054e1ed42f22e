// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The program's icon, opaque, `size` x `size` pixels: a caret over a row of letter bars in the
// name colours, on a dark tile in the windows' colours. It is designed on a 32 x 32 grid, the
// size both windows use; larger sizes (48, 64, 128, 256 for a desktop) scale the same design.
QImage DrawIcon(int size);
