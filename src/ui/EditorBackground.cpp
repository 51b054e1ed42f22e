// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EditorBackground.h"

#include "ui/Backdrop.h"
#include "ui/Picture.h"

#include <QPainter>

namespace {

// The editor's background in its label's pixels. The label starts 40 pixels left of the client
// area and is one pixel taller; the light centres on the name and its characters and fades
// towards the buttons.
constexpr QSize EditorBackgroundSize(600, 280);
const Backdrop EditorBackdrop{
    .top = QColor(0x4C, 0x4C, 0x08),
    .bottom = QColor(0x2E, 0x2E, 0x00),
    .glowCentre = QPointF(296, 70),
    .glowRadius = QSizeF(340, 165),
    .glowGain = 0.22,
    .cloudCell = 56,
    .cloudDepth = 0.10,
    .cloudSeed = 0x0105u,
    .shown = QRectF(40, 0, 512, 279),
    .vignette = 0.40,
    .grain = 2.0,
    .grainSeed = 0x0106u,
};

// The wordmark picture's top left: its baseline (13 pixels down the picture) on row 252 of the
// client area, its first dot 18 pixels in from the client area's left.
constexpr QPoint WordmarkPlace(58, 239);

} // namespace

QPixmap EditorBackground() {
    QImage background = DrawBackdrop(EditorBackgroundSize, EditorBackdrop);
    QPainter(&background)
        .drawPixmap(WordmarkPlace, Picture(QStringLiteral(":/art/main_wordmark.png")));
    return QPixmap::fromImage(std::move(background));
}
