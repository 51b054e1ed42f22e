// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts a bundle carries beside the program (the portable Linux build's Liberation Mono):
// added only when they are there, and Liberation Mono then stands in for Courier New.

#include "ui/WindowLook.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTest>

class WindowLookTest : public QObject {
    Q_OBJECT

private slots:
    void aMissingFolderAddsNothing() {
        const QStringList before = QFont::substitutes(QStringLiteral("Courier New"));
        QTemporaryDir dir;
        QCOMPARE(AddFontsFromFolder(dir.filePath(QStringLiteral("fonts"))), 0);
        QCOMPARE(QFont::substitutes(QStringLiteral("Courier New")), before);
    }

    void filesThatAreNoFontsAreLeftOut() {
        const QStringList before = QFont::substitutes(QStringLiteral("Courier New"));
        QTemporaryDir dir;
        for (const char* name : {"notes.txt", "broken.ttf"}) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a font");
        }
        QCOMPARE(AddFontsFromFolder(dir.path()), 0);
        QCOMPARE(QFont::substitutes(QStringLiteral("Courier New")), before);
    }

    // Last: what it adds stays for the rest of the run.
    void liberationMonoStandsInForCourierNew() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(TINTWELL_TEST_FONT),
                            dir.filePath(QStringLiteral("LiberationMono-Regular.ttf"))));
        QCOMPARE(AddFontsFromFolder(dir.path()), 1);
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("Liberation Mono")));
        // Qt keeps the table in lower case.
        QVERIFY(QFont::substitutes(QStringLiteral("Courier New"))
                    .contains(QStringLiteral("Liberation Mono"), Qt::CaseInsensitive));
        // Unless the machine has the real Courier New.
        const QString family = QFontInfo(CourierNew(12, false)).family();
        QVERIFY2(family == QStringLiteral("Liberation Mono") ||
                     family == QStringLiteral("Courier New"),
                 qPrintable(family));
    }
};

QTEST_MAIN(WindowLookTest)
#include "WindowLookTest.moc"
