// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Twips.h"

#include <QWidget>
#include <algorithm>
#include <cmath>
#include <limits>

QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

float TopTwips(const QWidget& window) {
    return static_cast<float>(window.pos().y() * TwipsPerPixel);
}

float LeftTwips(const QWidget& window) {
    return static_cast<float>(window.pos().x() * TwipsPerPixel);
}

void MoveToTwips(QWidget& window, float top, float left) {
    window.move(static_cast<int>(std::lround(left / TwipsPerPixel)),
                static_cast<int>(std::lround(top / TwipsPerPixel)));
}

std::int16_t ToSavedLeft(float leftTwips) {
    constexpr float lowest = std::numeric_limits<std::int16_t>::min();
    constexpr float highest = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::lround(std::clamp(leftTwips, lowest, highest)));
}
