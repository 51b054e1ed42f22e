// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SelectionMark.h"

#include <QPainter>
#include <QPen>

SelectionMark::SelectionMark(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

QColor SelectionMark::lineColor() {
    return {255, 255, 192};
}

void SelectionMark::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QPen pen(lineColor());
    pen.setWidth(LineWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // A pen is centred on its path: inset by half its width so the whole line lies inside.
    const qreal inset = LineWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}
