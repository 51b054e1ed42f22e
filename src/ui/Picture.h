// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

// One of the windows' pictures, compiled into the program as a PNG resource (":/art/icon.png"),
// read with Qt's built-in PNG reader. Qt's usual loading (QPixmap or QIcon from a file name) first
// loads every image format plugin installed to ask whether it reads the file: at start-up that
// costs more time and memory than the pictures themselves. A null pixmap when it cannot be read.
QPixmap Picture(const QString& resourcePath);
