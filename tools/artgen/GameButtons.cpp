// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameButtons.h"

#include "StencilLettering.h"

#include <QPainter>
#include <cmath>
#include <numbers>

namespace {

const QColor Paint(0xE8, 0xDE, 0xBC); // warm off-white, the main lettering
const QColor Khaki(0xC8, 0xB4, 0x78); // the second line and the stars
const QColor FrameLine(0x70, 0x66, 0x48);

QImage BlackPicture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::black);
    return picture;
}

// A thin double frame just inside the picture's edge, like the border of a stencilled crate
// marking.
void DrawFrame(QPainter& painter, QSize size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FrameLine, 1));
    painter.drawRect(QRect(2, 2, size.width() - 5, size.height() - 5));
    QColor inner = FrameLine;
    inner.setAlpha(110);
    painter.setPen(QPen(inner, 1));
    painter.drawRect(QRect(4, 4, size.width() - 9, size.height() - 9));
    painter.restore();
}

QPainterPath Star(QPointF centre, double radius) {
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = (i % 2 == 0) ? radius : radius * 0.40;
        points << QPointF(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
    }
    QPainterPath star;
    star.addPolygon(points);
    star.closeSubpath();
    return star;
}

void DrawStar(QPainter& painter, QPointF centre, double radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(Star(centre, radius), Khaki);
    painter.restore();
}

// A rule across the picture at height `y`, broken in the middle by a star.
void DrawStarredRule(QPainter& painter, double y, double left, double right) {
    const double middle = (left + right) / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(FrameLine, 1));
    painter.drawLine(QPointF(left, y), QPointF(middle - 11, y));
    painter.drawLine(QPointF(middle + 11, y), QPointF(right, y));
    painter.restore();
    DrawStar(painter, {middle, y + 0.5}, 6.0);
}

} // namespace

QImage DrawCallOfDutyButton() {
    QImage picture = BlackPicture({248, 58});
    QPainter painter(&picture);
    DrawFrame(painter, picture.size());
    DrawStar(painter, {20.5, 29.0}, 7.0);
    DrawStar(painter, {227.5, 29.0}, 7.0);
    const QPainterPath title = FitInto(StencilText("CALL OF DUTY", 8), QRectF(34, 14, 180, 30));
    PaintLettering(painter, title, Paint, 0x0301u);
    return picture;
}

QImage DrawUnitedOffensiveButton() {
    QImage picture = BlackPicture({255, 88});
    QPainter painter(&picture);
    DrawFrame(painter, picture.size());
    const QPainterPath title = FitInto(StencilText("CALL OF DUTY", 8), QRectF(24, 12, 207, 26));
    PaintLettering(painter, title, Paint, 0x0401u);
    DrawStarredRule(painter, 47, 26, 229);
    const QPainterPath subtitle =
        FitInto(StencilText("UNITED OFFENSIVE", 14), QRectF(24, 57, 207, 17));
    PaintLettering(painter, subtitle, Khaki, 0x0402u);
    return picture;
}
