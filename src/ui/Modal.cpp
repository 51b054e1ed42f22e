// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Modal.h"

#include "ui/ErrorBox.h"

#include <QDialog>
#include <deque>

namespace {

struct TestAnswers {
    bool active = false;
    std::deque<Modal::Answer> queue;
};

TestAnswers& Answers() {
    static TestAnswers answers;
    return answers;
}

QStringList& MessageLog() {
    static QStringList log;
    return log;
}

void AnswerWithoutBlocking(QDialog& dialog) {
    TestAnswers& answers = Answers();
    dialog.show();
    if (!answers.queue.empty()) {
        Modal::Answer answer = std::move(answers.queue.front());
        answers.queue.pop_front();
        answer(dialog);
    } else if (qobject_cast<ErrorBox*>(&dialog)) {
        dialog.accept(); // OK
    } else {
        // Accepting it would answer for the user; a test that forgot its answer must fail.
        qFatal("Modal: %s was shown with no answer queued", qPrintable(dialog.objectName()));
    }
    if (dialog.isVisible())
        dialog.close();
}

} // namespace

void Modal::exec(QDialog& dialog) {
    if (Answers().active)
        AnswerWithoutBlocking(dialog);
    else
        dialog.exec();
}

void Modal::answerForTests() {
    Answers().active = true;
}

void Modal::setNextAnswer(Answer answer) {
    Answers().queue.push_back(std::move(answer));
}

int Modal::pendingAnswers() {
    return static_cast<int>(Answers().queue.size());
}

const QStringList& Modal::messagesShown() {
    return MessageLog();
}

void Modal::clearMessages() {
    MessageLog().clear();
}

void Modal::recordMessage(const QString& text) {
    MessageLog().append(text);
}
