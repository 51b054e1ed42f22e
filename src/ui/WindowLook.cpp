// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowLook.h"

#include <QDir>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

QFont CourierNew(qreal points, bool bold) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

int AddFontsFromFolder(const QString& folder) {
    int added = 0;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.ttf")}, QDir::Files);
    for (const QFileInfo& file : files) {
        const int id = QFontDatabase::addApplicationFont(file.filePath());
        if (id < 0)
            continue;
        ++added;
        // Qt asks fontconfig for a stand-in only after the substitution table.
        if (QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("Liberation Mono")))
            QFont::insertSubstitution(QStringLiteral("Courier New"),
                                      QStringLiteral("Liberation Mono"));
    }
    return added;
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
