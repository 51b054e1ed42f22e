// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

// The editor's background at its label's size (600 x 280 pixels, the window's client area from
// 40 pixels in): a backdrop drawn from a few numbers, which costs a fraction of decoding and
// stretching a picture of it, with the wordmark picture in the corner left of the Cancel button.
QPixmap EditorBackground();
