// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

// The program's icon as a Windows icon file (.ico), which the Windows build compiles into the
// program as a resource: Explorer, the taskbar and Alt+Tab pick from it the size they need.

// The sizes the file holds: the small ones for lists and title bars at 100 to 250 % scaling,
// 256 for large icon views.
inline const std::vector<int> WindowsIconSizes{16, 20, 24, 32, 40, 48, 64, 256};

// An .ico file holding `images` (square, 1 to 256 pixels a side), each stored as PNG, which every
// Windows that Qt 6 runs on reads.
QByteArray IcoFile(const std::vector<QImage>& images);

// Draws the icon at WindowsIconSizes and writes it to `path` as an .ico file. Returns an empty
// string, or what went wrong.
QString WriteWindowsIcon(const QString& path);
