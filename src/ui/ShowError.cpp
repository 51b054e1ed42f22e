// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ShowError.h"

#include "ui/ErrorBox.h"
#include "ui/Modal.h"

#include <QApplication>

namespace {

// The window the user works in, so that the box stands over it; none while no window is shown.
QWidget* WindowInUse() {
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            return widget;
    }
    return nullptr;
}

} // namespace

void ShowError(const QString& text) {
    Modal::recordMessage(text);
    ErrorBox box(text, WindowInUse());
    Modal::exec(box);
}

void ShowError(const std::string& text) {
    ShowError(QString::fromLocal8Bit(text));
}
