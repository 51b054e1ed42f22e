#include "ui/ShowError.h"

#include "ui/Modal.h"

#include <QMessageBox>

void ShowError(const QString& text) {
    Modal::recordMessage(text);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error:"), text, QMessageBox::Ok);
    Modal::exec(box);
}

void ShowError(const std::string& utf8Text) {
    ShowError(QString::fromStdString(utf8Text));
}
