// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The selection mark of a character cell: a 2-pixel outline in light yellow around the cell,
// transparent inside and to the mouse, so a click on a selected cell still reaches the cell.
class SelectionMark : public QWidget {
    Q_OBJECT

public:
    explicit SelectionMark(QWidget* parent);

    static constexpr int LineWidth = 2;
    static QColor lineColor();

protected:
    void paintEvent(QPaintEvent* event) override;
};
