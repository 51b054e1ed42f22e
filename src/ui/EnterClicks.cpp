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
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_button.click();
                return true;
            }
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
