// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The pictures the program carries, by file name, and writing them to a folder.

struct Picture {
    QString fileName;
    QSize size; // the size the windows are laid out for
    std::function<QImage()> draw;
};

// The five pictures of the windows: main_wordmark.png, games_background.png, button_cod.png,
// button_coduo.png and icon.png.
const std::vector<Picture>& WindowPictures();

// icon_<size>.png, the icon at a desktop size.
Picture IconPicture(int size);

// The icon sizes a desktop asks for that the generator draws on request.
inline constexpr int SmallestIconSize = 16;
inline constexpr int LargestIconSize = 1024;

// "48,64,128,256" -> {48, 64, 128, 256}; nothing when an entry is not a whole number within
// SmallestIconSize..LargestIconSize or the list is empty.
std::optional<std::vector<int>> ParseIconSizes(const QString& list);

// Draws `pictures` and saves each as PNG in `folder` (which is created when missing). Returns an
// empty string, or what went wrong.
QString WritePictures(const std::vector<Picture>& pictures, const QString& folder);
