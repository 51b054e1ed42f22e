// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The frame every test of the windows and of the edit cycle runs in (Qt tests only).

#include "startup/SharedState.h"
#include "ui/Modal.h"
#include "ui/frmGames.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCoreApplication>

// Once per test program: windows never end the run by themselves, and modal windows are answered
// by the tests instead of blocking.
inline void PrepareWindowTests() {
    QApplication::setQuitOnLastWindowClosed(false);
    Modal::answerForTests();
}

// Between tests: no window left, the shared state and the message log as at start.
inline void StartAfresh() {
    frmMain::closeIfOpen();
    frmGames::closeIfOpen();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Shared() = SharedState{};
    Modal::clearMessages();
}
