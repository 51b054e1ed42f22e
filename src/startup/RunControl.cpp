// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/RunControl.h"

#include "startup/SharedState.h"
#include "ui/frmGames.h"
#include "ui/frmMain.h"

#include <QCoreApplication>

bool AnyWindowLeft() {
    return frmMain::isOpen() || frmGames::isOpen();
}

void EndIfNoWindowLeft() {
    if (!AnyWindowLeft())
        QCoreApplication::exit(ExitStatus());
}

int ExitStatus() {
    return Shared().CycleFailed ? 1 : 0;
}
