// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The editor's wordmark (WordmarkSize, see-through): a faint "Tintwell" after a row of dots in
// the name colours, its baseline 13 pixels down. The editor draws its background itself (see
// src/ui/EditorBackground.cpp) and this picture onto it, in the free corner left of the Cancel
// button.
inline constexpr QSize WordmarkSize{120, 16};
QImage DrawMainWordmark();

// The game dialog's background (580 x 280). The dialog shows it at its own size, 8 pixels left
// of its 512 x 279 client area, over the dialog colour 400000.
QImage DrawGamesBackground();
