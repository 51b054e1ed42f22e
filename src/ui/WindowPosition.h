// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Each window opens where the one before it last stood: its position is stored into SavedTop and
// SavedLeft, and the next window is moved there.
//
// SavedLeft is a 16-bit number of twips, which ends at 2184 pixels: a window on a second screen
// stands further right. Such a Left is kept whole beside it, so that the next window opens there
// too instead of jumping back.
void StoreWindowPosition(const QWidget& window);
void MoveToSavedPosition(QWidget& window);
