// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;

// The one way the program shows a modal window (the game dialog and every message box), so that
// tests can answer them without blocking.
class Modal {
public:
    using Answer = std::function<void(QDialog&)>;

    // Shows `dialog` modally and returns once it has been hidden or closed.
    static void exec(QDialog& dialog);

    // Tests: from now on no modal window runs a loop of its own. Each is shown, handed to the
    // next queued answer (which clicks, types or closes as a user would) and then closed if the
    // answer left it open. A message box with no answer queued gets its OK; any other modal
    // window with no answer queued ends the test program.
    static void answerForTests();
    static void setNextAnswer(Answer answer);
    static int pendingAnswers();

    // The texts of all message boxes shown so far, oldest first (kept in every mode).
    static const QStringList& messagesShown();
    static void clearMessages();

    // Used by ShowError.
    static void recordMessage(const QString& text);
};
