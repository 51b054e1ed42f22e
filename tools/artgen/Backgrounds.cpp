// SPDX-License-Identifier: GPL-3.0-or-later
#include "Backgrounds.h"

#include "ui/Backdrop.h"

#include <QFont>
#include <QPainter>
#include <array>

namespace {

constexpr QSize ClientSize{512, 279};

// The editor's palette of colour indices 1 to 7, as the swatches show it.
constexpr std::array<QRgb, 7> NameColours{0xC00000, 0x008000, 0xFFFF00, 0x0000C0,
                                          0x00FFFF, 0xFF80FF, 0xFFFFFF};

constexpr double WordmarkBaseline = 13;

// Two hairlines that fade in towards the dialog's centred prompt, one on either side of it.
void DrawPromptRules(QImage& picture, int left) {
    constexpr double y = 36.5;              // the middle of the prompt's line
    constexpr double promptHalfWidth = 140; // half the prompt's width, with some air
    constexpr double length = 96;
    const double centre = left + ClientSize.width() / 2.0;
    const QColor line(0xB0, 0x50, 0x40, 110);
    QColor faded = line;
    faded.setAlpha(0);

    QPainter painter(&picture);
    const double leftEnd = centre - promptHalfWidth;
    QLinearGradient towardsLeft(leftEnd, 0, leftEnd - length, 0);
    towardsLeft.setColorAt(0, line);
    towardsLeft.setColorAt(1, faded);
    painter.fillRect(QRectF(leftEnd - length, y - 0.5, length, 1), towardsLeft);

    const double rightEnd = centre + promptHalfWidth;
    QLinearGradient towardsRight(rightEnd, 0, rightEnd + length, 0);
    towardsRight.setColorAt(0, line);
    towardsRight.setColorAt(1, faded);
    painter.fillRect(QRectF(rightEnd, y - 0.5, length, 1), towardsRight);
}

// A soft shadow under each game button, so that the buttons sit on the background rather than
// float over it.
void DrawButtonShadows(QImage& picture, int left) {
    // The buttons' client rectangles: cmdCOD and cmdCODUO.
    const std::array<QRectF, 2> buttons{QRectF(112, 56, 289, 73), QRectF(112, 144, 289, 113)};
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 16));
    for (const QRectF& button : buttons)
        for (int ring = 7; ring >= 1; --ring)
            painter.drawRoundedRect(button.translated(left, 3).adjusted(-ring, -ring, ring, ring),
                                    ring, ring);
}

} // namespace

QImage DrawMainWordmark() {
    QImage picture(WordmarkSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, WordmarkBaseline);

    painter.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < NameColours.size(); ++i) {
        QColor dot = QColor::fromRgb(NameColours[i]);
        dot.setAlphaF(0.30);
        painter.setBrush(dot);
        painter.drawRect(QRectF(i * 6.0, -7.0, 4.0, 4.0));
    }

    QFont font("Liberation Sans");
    font.setBold(true);
    font.setPixelSize(13);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    painter.setFont(font);
    painter.setPen(QColor(0x80, 0x80, 0x30, 120));
    painter.drawText(QPointF(48.0, 0.0), "Tintwell");
    return picture;
}

QImage DrawGamesBackground() {
    constexpr QSize size{580, 280};
    constexpr int left = 8; // the picture starts 8 pixels left of the client area
    const Backdrop backdrop{
        .top = QColor(0x4E, 0x06, 0x04),
        .bottom = QColor(0x2A, 0x00, 0x00),
        // Light behind the prompt and the two game buttons.
        .glowCentre = QPointF(left + 256.0, 120.0),
        .glowRadius = QSizeF(320, 200),
        .glowGain = 0.25,
        .cloudCell = 56,
        .cloudDepth = 0.10,
        .cloudSeed = 0x0205u,
        .shown = QRectF(QPointF(left, 0), ClientSize),
        .vignette = 0.45,
        .grain = 2.0,
        .grainSeed = 0x0206u,
    };
    QImage picture = DrawBackdrop(size, backdrop);
    DrawPromptRules(picture, left);
    DrawButtonShadows(picture, left);
    return picture;
}
