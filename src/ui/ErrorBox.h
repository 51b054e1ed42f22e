// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QTextEdit;

// The program's message box: the critical-error icon, the text and an OK button, like the
// system's, but never larger than the screen it opens on. A text too wide wraps, at blanks where
// it can and anywhere where it must (a long path); a text too tall scrolls. Nothing of it is cut,
// because it is what the user copies: it can be selected, and Ctrl+C copies all of it.
class ErrorBox final : public QDialog {
    Q_OBJECT

public:
    ErrorBox(const QString& text, QWidget* parent);

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitInto(QSize clientLimit, int screenWidth);
    void keepOnScreen();
    int widestOf(const QStringList& pieces) const; // in the text's font

    QTextEdit* m_text;
    int m_iconSize;
};
