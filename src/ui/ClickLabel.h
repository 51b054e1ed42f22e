// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label that reports a click (left button pressed and released over it) and every mouse move
// over it, with its index in its control array. Mouse tracking is on, so moves are reported
// without a button held.
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickLabel(int index, QWidget* parent);

signals:
    void clicked(int index);
    void mouseMoved(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int m_index;
    bool m_pressed = false;
};
