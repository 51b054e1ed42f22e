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

TestAnswers& testAnswers() {
    static TestAnswers answers;
    return answers;
}

QStringList& messageLog() {
    static QStringList log;
    return log;
}

void answerWithoutBlocking(QDialog& dialog) {
    TestAnswers& answers = testAnswers();
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
    if (testAnswers().active)
        answerWithoutBlocking(dialog);
    else
        dialog.exec();
}

void Modal::answerForTests() {
    testAnswers().active = true;
}

void Modal::setNextAnswer(Answer answer) {
    testAnswers().queue.push_back(std::move(answer));
}

int Modal::pendingAnswers() {
    return static_cast<int>(testAnswers().queue.size());
}

const QStringList& Modal::messagesShown() {
    return messageLog();
}

void Modal::clearMessages() {
    messageLog().clear();
}

void Modal::recordMessage(const QString& text) {
    messageLog().append(text);
}
