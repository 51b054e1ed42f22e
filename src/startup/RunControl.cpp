#include "startup/RunControl.h"

#include "ui/frmGames.h"
#include "ui/frmMain.h"

#include <QCoreApplication>

bool AnyWindowLeft() {
    return frmMain::IsOpen() || frmGames::IsOpen();
}

void EndIfNoWindowLeft() {
    if (!AnyWindowLeft())
        QCoreApplication::exit(0);
}
