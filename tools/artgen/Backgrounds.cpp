// SPDX-License-Identifier: GPL-3.0-or-later
#include "Backgrounds.h"

#include "Texture.h"

#include <QFont>
#include <QPainter>
#include <array>

namespace {

constexpr QSize ClientSize{512, 279};

// Where the client area lies in the main picture: from 40 pixels in, and squeezed vertically
// by the stretch from 254 to 280 pixels.
constexpr QSize MainPictureSize{600, 254};
constexpr int MainPictureLeft = 40;
constexpr double MainStretch = 280.0 / 254.0;

QPointF MainPicturePoint(QPointF client) {
    return {client.x() + MainPictureLeft, client.y() / MainStretch};
}

QRectF MainPictureVisibleArea() {
    return {MainPicturePoint({0, 0}), MainPicturePoint({ClientSize.width(), ClientSize.height()})};
}

// The editor's palette of colour indices 1 to 7, as the swatches show it.
constexpr std::array<QRgb, 7> NameColours{0xC00000, 0x008000, 0xFFFF00, 0x0000C0,
                                          0x00FFFF, 0xFF80FF, 0xFFFFFF};

// A faint "Tintwell" with a row of palette dots, in the free corner left of the Cancel button.
// It is drawn squeezed so that the window's stretch gives it its natural proportions.
void DrawMainWordmark(QImage& picture) {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(MainPicturePoint({18, 252}));
    painter.scale(1.0, 1.0 / MainStretch);

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
}

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

QImage DrawMainBackground() {
    QImage picture =
        VerticalGradient(MainPictureSize, QColor(0x4C, 0x4C, 0x08), QColor(0x2E, 0x2E, 0x00));
    const QRectF visible = MainPictureVisibleArea();
    // Light where the name and its characters stand, fading towards the buttons.
    AddGlow(picture, MainPicturePoint({256, 70}), {340, 150}, 0.22);
    AddClouds(picture, 56, 0.10, 0x0105u);
    AddVignette(picture, visible, 0.40);
    AddGrain(picture, 2.0, 0x0106u);
    DrawMainWordmark(picture);
    return picture;
}

QImage DrawGamesBackground() {
    constexpr QSize size{580, 280};
    constexpr int left = 8; // the picture starts 8 pixels left of the client area
    QImage picture = VerticalGradient(size, QColor(0x4E, 0x06, 0x04), QColor(0x2A, 0x00, 0x00));
    const QRectF visible(left, 0, ClientSize.width(), ClientSize.height());
    // Light behind the prompt and the two game buttons.
    AddGlow(picture, {left + 256.0, 120.0}, {320, 200}, 0.25);
    AddClouds(picture, 56, 0.10, 0x0205u);
    AddVignette(picture, visible, 0.45);
    AddGrain(picture, 2.0, 0x0206u);
    DrawPromptRules(picture, left);
    DrawButtonShadows(picture, left);
    return picture;
}
