// SPDX-License-Identifier: GPL-3.0-or-later
#include "Icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double Grid = 32.0;

// One bar per name colour 1 to 7, of differing heights like the letters of a name.
struct LetterBar {
    QRgb colour;
    double height;
};
constexpr std::array<LetterBar, 7> Bars{{{0xC00000, 9},
                                         {0x008000, 7},
                                         {0xFFFF00, 11},
                                         {0x0000C0, 6},
                                         {0x00FFFF, 10},
                                         {0xFF80FF, 8},
                                         {0xFFFFFF, 11}}};
constexpr double BarWidth = 3;
constexpr double BarPitch = 4;
constexpr double BarsLeft = 3; // the bars and the caret centre on x = 16.5
constexpr double BarsBottom = 28;

// The tile: the editor's olive at the top running into the dialog's red, with a bevelled edge
// `bevel` grid units wide (one pixel at 32 x 32, a little more on larger icons).
void DrawTile(QPainter& painter, double bevel) {
    QLinearGradient fill(0, 0, 0, Grid);
    fill.setColorAt(0, QColor(0x58, 0x58, 0x0C));
    fill.setColorAt(0.45, QColor(0x40, 0x40, 0x00));
    fill.setColorAt(1, QColor(0x40, 0x00, 0x00));
    painter.fillRect(QRectF(0, 0, Grid, Grid), fill);

    const double edge = Grid - bevel;
    painter.fillRect(QRectF(0, 0, Grid, bevel), QColor(0x86, 0x86, 0x3A));
    painter.fillRect(QRectF(0, 0, bevel, Grid), QColor(0x86, 0x86, 0x3A));
    painter.fillRect(QRectF(edge, bevel, bevel, edge), QColor(0x1C, 0x00, 0x00));
    painter.fillRect(QRectF(bevel, edge, edge, bevel), QColor(0x1C, 0x00, 0x00));
}

void DrawCaret(QPainter& painter) {
    QPainterPath caret;
    caret.moveTo(9, 14);
    caret.lineTo(16.5, 4.5);
    caret.lineTo(24, 14);
    const QPen stroke(QColor(0xF4, 0xEC, 0xC8), 3.5, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    QPen shadow = stroke;
    shadow.setColor(QColor(0x10, 0x04, 0x00, 150));
    painter.setPen(shadow);
    painter.drawPath(caret.translated(0.7, 1.0));
    painter.setPen(stroke);
    painter.drawPath(caret);
}

void DrawLetterBars(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < Bars.size(); ++i) {
        const double left = BarsLeft + i * BarPitch;
        const QRectF bar(left, BarsBottom - Bars[i].height, BarWidth, Bars[i].height);
        painter.fillRect(bar.translated(0.7, 1.0), QColor(0x10, 0x04, 0x00, 150)); // shadow
        painter.fillRect(bar, QColor::fromRgb(Bars[i].colour));
    }
}

} // namespace

QImage DrawIcon(int size) {
    QImage icon(size, size, QImage::Format_RGB32);
    icon.fill(Qt::black);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const double pixelsPerUnit = size / Grid;
    painter.scale(pixelsPerUnit, pixelsPerUnit);
    DrawTile(painter, std::clamp(std::round(pixelsPerUnit), 1.0, 3.0) / pixelsPerUnit);
    DrawCaret(painter);
    DrawLetterBars(painter);
    return icon;
}
