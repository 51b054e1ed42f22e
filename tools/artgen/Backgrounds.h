// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The editor window's background (600 x 254). The window stretches it to 600 x 280 pixels and
// places it 40 pixels left of its 512 x 279 client area, over the window colour 404000.
QImage DrawMainBackground();

// The game dialog's background (580 x 280). The dialog shows it at its own size, 8 pixels left
// of its 512 x 279 client area, over the dialog colour 400000.
QImage DrawGamesBackground();
