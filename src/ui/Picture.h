// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// One of the windows' pictures, compiled into the program as a PNG resource (":/art/icon.png"),
// read with Qt's built-in PNG reader. Qt's usual loading (QPixmap or QIcon from a file name) first
// loads every image format plugin installed to ask whether it reads the file: at start-up that
// costs more time and memory than the pictures themselves. A null pixmap when it cannot be read.
QPixmap Picture(const QString& resourcePath);

// `picture` stretched smoothly to `size`; enlarged on the calling thread (the editor's
// background). A label that stretches its picture itself does so at its first paint, handing the
// work to worker threads that the paint, and so the window's first appearance, then waits for;
// on a busy machine that wait is the longest part of the paint.
QPixmap Stretched(const QPixmap& picture, QSize size);

// Picture(resourcePath) stretched to `size` as Stretched does it. When only its height grows (the
// editor's background) the picture is read straight into the stretched image, so that it is
// never held twice: less memory, and fewer fresh pages for the system to hand out at start-up.
QPixmap StretchedPicture(const QString& resourcePath, QSize size);
