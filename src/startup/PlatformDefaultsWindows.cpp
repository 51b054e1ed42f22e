// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/PlatformDefaults.h"

#include <QByteArray>
#include <QtGlobal>

// Text drawn with DirectWrite, the font engine of Windows 10 and 11 (and Qt's default from 6.8 on),
// not with Qt 6.4's GDI engine, which under Wine draws no text in a line edit. A platform the user
// names, with QT_QPA_PLATFORM or with -platform (which wins over it), stays as named.
void ApplyPlatformDefaults() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("windows:fontengine=directwrite"));
}
