// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowLook.h"

#include <QPalette>
#include <QWidget>

QFont CourierNew(qreal points, bool bold) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void SetTextColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    widget.setPalette(palette);
}

void SetBackgroundColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, color);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void SetTextBoxColors(QWidget& box, const QColor& text, const QColor& field) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, field);
    // A disabled box keeps its field and shows its text dimmed, as a finished name should read.
    palette.setColor(QPalette::Disabled, QPalette::Base, field);
    palette.setColor(QPalette::Disabled, QPalette::Text, text.darker(160));
    box.setPalette(palette);
}

QColor TextColorOf(const QWidget& widget) {
    return widget.palette().color(QPalette::WindowText);
}

QColor BackgroundColorOf(const QWidget& widget) {
    return widget.palette().color(QPalette::Window);
}
