// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/EnterClicks.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterClickFilter final : public QObject {
public:
    explicit EnterClickFilter(QPushButton& button) : QObject(&button), m_button(button) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_button && event->type() == QEvent::KeyPress) {
            const auto* press = static_cast<QKeyEvent*>(event);
            const bool enter = press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter;
            // A held key clicks once: its repeats would otherwise click on and on, or reach the
            // button that the click itself brought up (Save's next cycle opens the game dialog).
            if (enter && !press->isAutoRepeat())
                m_button.click();
            return enter;
        }
        return false;
    }

private:
    QPushButton& m_button;
};

} // namespace

void ClickOnEnter(QPushButton& button) {
    button.installEventFilter(new EnterClickFilter(button));
}
