// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// How the two windows dress their controls: one font family and plain colours set through the
// palette, so the platform's own look stays for everything else.

// "Courier New" at the given size; where it is missing the system's monospaced substitute
// (Liberation Mono on Linux) is used at the same size and weight.
QFont CourierNew(qreal points, bool bold);

// Adds the font files (*.ttf) of `folder` for this run, when the folder exists: the portable
// Linux build carries Liberation Mono beside the program (fonts/), for systems that have neither
// Courier New nor Liberation Mono; where it is among them it stands in for Courier New. Returns
// how many files were added.
int AddFontsFromFolder(const QString& folder);

void SetTextColor(QWidget& widget, const QColor& color);
// An opaque background in `color`.
void SetBackgroundColor(QWidget& widget, const QColor& color);
// Colours of a text box: text and field background, kept when the box is disabled.
void SetTextBoxColors(QWidget& box, const QColor& text, const QColor& field);

QColor TextColorOf(const QWidget& widget);
QColor BackgroundColorOf(const QWidget& widget);
