// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Main.h"

#include "startup/PlatformDefaults.h"
#include "startup/RunControl.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    ApplyPlatformDefaults();
    QApplication app(argc, argv);
    // Lets the desktop match the windows with the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tintwell.Tintwell"));
    AddBundledFonts();
    // The program ends when no window is left, which the run control decides (see RunControl.h).
    QApplication::setQuitOnLastWindowClosed(false);
    Main();
    if (!AnyWindowLeft())
        return ExitStatus();
    return QApplication::exec();
}
