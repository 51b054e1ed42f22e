// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <cstdint>

class QWidget;

// Window and control geometry is kept in twips, the unit the windows' layouts are written in
// (frmMain.cpp, frmGames.cpp), and converted here only: 15 twips make one logical pixel (Qt's own
// scaling handles other screens).
inline constexpr int TwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return twips / TwipsPerPixel;
}
QRect TwipsRect(int left, int top, int width, int height);

// A top-level window's position (its frame's top-left corner) in twips.
float TopTwips(const QWidget& window);
float LeftTwips(const QWidget& window);
void MoveToTwips(QWidget& window, float top, float left);

// SavedLeft is a 16-bit number of twips: a Left beyond its range is clamped, not wrapped.
std::int16_t ToSavedLeft(float leftTwips);
