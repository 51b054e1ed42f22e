// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ClickLabel.h"

#include <QMouseEvent>

ClickLabel::ClickLabel(int index, QWidget* parent) : QLabel(parent), m_index(index) {
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = m_pressed;
    m_pressed = false;
    event->accept();
    if (event->button() == Qt::LeftButton && wasPressed &&
        rect().contains(event->position().toPoint()))
        emit clicked(m_index);
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMoved(m_index);
}
