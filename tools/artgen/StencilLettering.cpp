// SPDX-License-Identifier: GPL-3.0-or-later
#include "StencilLettering.h"

#include "ui/Backdrop.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <vector>

namespace {

constexpr int DesignPixelSize = 100;
constexpr double Condensing = 0.86; // horizontal scale that narrows the letters
constexpr double BridgeWidth = 7.0; // in design units

QFont LetteringFont() {
    QFont font("Liberation Sans");
    font.setBold(true);
    font.setPixelSize(DesignPixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Where a letter is bridged, as fractions of its outline's width from the left. Letters whose
// shapes stay in one piece without looking closed (C, S, T, Y...) get none.
std::vector<double> BridgesOf(QChar letter) {
    switch (letter.unicode()) {
    case 'A':
    case 'O':
    case 'Q':
    case 'U':
    case '0':
        return {0.5};
    case 'B':
    case 'D':
    case 'E':
    case 'F':
    case 'L':
    case 'P':
    case 'R':
        return {0.30};
    default:
        return {};
    }
}

QPainterPath BridgedGlyph(QChar letter, const QFont& font, double x) {
    QPainterPath glyph;
    glyph.addText(x, 0, font, QString(letter));
    const QRectF bounds = glyph.boundingRect();
    for (double at : BridgesOf(letter)) {
        QPainterPath cut;
        const double centre = bounds.left() + at * bounds.width();
        cut.addRect(
            QRectF(centre - BridgeWidth / 2, bounds.top() - 1, BridgeWidth, bounds.height() + 2));
        glyph = glyph.subtracted(cut);
    }
    return glyph;
}

} // namespace

QPainterPath StencilText(const QString& text, double tracking) {
    const QFont font = LetteringFont();
    const QFontMetricsF metrics(font);
    QPainterPath lettering;
    double x = 0;
    for (QChar letter : text) {
        if (!letter.isSpace())
            lettering.addPath(BridgedGlyph(letter, font, x));
        x += metrics.horizontalAdvance(letter) + tracking;
    }
    return QTransform::fromScale(Condensing, 1.0).map(lettering);
}

QPainterPath FitInto(const QPainterPath& path, const QRectF& box) {
    const QRectF bounds = path.boundingRect();
    const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform placement;
    placement.translate(box.center().x(), box.center().y());
    placement.scale(scale, scale);
    placement.translate(-bounds.center().x(), -bounds.center().y());
    return placement.map(path);
}

void PaintLettering(QPainter& painter, const QPainterPath& lettering, QColor paint,
                    std::uint32_t wearSeed) {
    const QRectF bounds = lettering.boundingRect();
    QLinearGradient shade(bounds.topLeft(), bounds.bottomLeft());
    shade.setColorAt(0, paint.lighter(106));
    shade.setColorAt(1, paint.darker(112));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(lettering, shade);

    painter.setClipPath(lettering);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 110));
    const QRect area = bounds.toAlignedRect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (HashNoise(x, y, wearSeed) < 0.02) {
                const double radius = 0.4 + 0.6 * HashNoise(x, y, wearSeed + 1);
                painter.drawEllipse(QPointF(x + 0.5, y + 0.5), radius, radius);
            }
    painter.restore();
}
