// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <cstdint>

class QPainter;

// Capital lettering in the manner of a painted stencil: bold, slightly condensed sans serif
// whose closed shapes are cut by narrow bridges (the gap between the stem and the bowl of a D,
// the split crown of an A or an O), as a stencil plate needs to hold together.

// The outline of `text` (capitals, digits and spaces), baseline at y = 0, starting at x = 0, in
// units where the font's pixel size is 100. `tracking` is the extra space after each
// character, in the same units.
QPainterPath StencilText(const QString& text, double tracking);

// `path` scaled uniformly to the largest size that fits `box`, centred in it.
QPainterPath FitInto(const QPainterPath& path, const QRectF& box);

// Fills `lettering` with a paint colour that darkens slightly downwards, and wears it with a
// scatter of small specks where the paint has flaked off.
void PaintLettering(QPainter& painter, const QPainterPath& lettering, QColor paint,
                    std::uint32_t wearSeed);
