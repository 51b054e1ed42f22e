// SPDX-License-Identifier: GPL-3.0-or-later
// Clicks go through the window as a real pointer's would.
#define QTEST_QPA_MOUSE_HANDLING

#include "UiTestSupport.h"
#include "startup/Main.h"
#include "startup/RunControl.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

frmGames& Games(QDialog& dialog) {
    return static_cast<frmGames&>(dialog);
}

// Both games installed, United Offensive in the "UO" folder of the same install.
struct BothGames {
    BothGames() : install("^1Co^7D") { install.installUnitedOffensive("^4U^7O"); }
    GameInstall install;
};

// The file the editor of this cycle works on.
QString EditedFile() {
    return QFileInfo(frmMain::instance().editGameCesta->text()).canonicalFilePath();
}
QString CanonicalPath(const std::filesystem::path& file) {
    return QFileInfo(file).canonicalFilePath();
}

void ChooseCallOfDuty(QDialog& dialog) {
    Click(Games(dialog).cmdCOD);
}

} // namespace

class frmGamesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWindowTests(); }
    void cleanup() {
        // Every dialog the test expected was shown; a left-over answer would run in a later test.
        if (Modal::pendingAnswers() != 0)
            qFatal("%s left a dialog answer unused", QTest::currentTestFunction());
        StartAfresh();
    }

    void geometryFollowsTheLayout_data();
    void geometryFollowsTheLayout();
    void lookOfTheDialog();
    void buttonsChooseTheirGame_data();
    void buttonsChooseTheirGame();
    void closingSetsQuitRequested_data();
    void closingSetsQuitRequested();
    void keysInTheDialog_data();
    void keysInTheDialog();

    void dialogAsksAgainAfterSaveAndCancel();
    void closingTheDialogEndsTheProgramWithoutReadingAFile();
    void positionCarriesFromTheMovedDialogToTheEditor();
    void closingTheEditorClosesTheHiddenDialog();
    void earlierEditorOutlivesTheLoopsOfTheNextCycle();
};

void frmGamesTest::geometryFollowsTheLayout_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("lblSelect") << 120 << 240 << 7455 << 615;
    QTest::newRow("cmdCOD") << 1680 << 840 << 4335 << 1095;
    QTest::newRow("cmdCODUO") << 1680 << 2160 << 4335 << 1695;
    QTest::newRow("Image1") << -120 << 0 << 8700 << 4200;
}

void frmGamesTest::geometryFollowsTheLayout() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    const frmGames& dialog = frmGames::instance();
    const auto* control = dialog.findChild<QWidget*>(QLatin1String(QTest::currentDataTag()));
    QVERIFY(control);
    QCOMPARE(control->geometry(), QRect(left / 15, top / 15, width / 15, height / 15));
    QVERIFY(!control->isHidden());
    QVERIFY(control->isEnabled());
    QCOMPARE(dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 4);
}

void frmGamesTest::lookOfTheDialog() {
    const frmGames& dialog = frmGames::instance();
    QCOMPARE(dialog.minimumSize(), QSize(512, 279));
    QCOMPARE(dialog.maximumSize(), QSize(512, 279));
    QVERIFY(dialog.isModal());
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!dialog.windowIcon().isNull());
    QCOMPARE(BackgroundColorOf(dialog), QColor(64, 0, 0));

    QCOMPARE(dialog.lblSelect->text(), QStringLiteral("Select Your Game for change"));
    QCOMPARE(dialog.lblSelect->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(dialog.lblSelect->font().pointSizeF(), 12.0);
    QVERIFY(dialog.lblSelect->font().bold());
    QCOMPARE(TextColorOf(*dialog.lblSelect), QColor(224, 224, 224));
    QVERIFY(!dialog.lblSelect->autoFillBackground());
    QVERIFY(dialog.lblSelect->alignment() & Qt::AlignHCenter);

    QCOMPARE(dialog.Image1->pixmap().size(), QSize(580, 280));
    QVERIFY(!dialog.Image1->hasScaledContents());
    for (const auto& [button, pictureSize] :
         {std::pair{dialog.cmdCOD, QSize(248, 58)}, std::pair{dialog.cmdCODUO, QSize(255, 88)}}) {
        QVERIFY(button->text().isEmpty());
        QCOMPARE(button->iconSize(), pictureSize);
        QVERIFY(!button->icon().isNull());
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
    // Back to front: the picture, the prompt, the buttons.
    const QList<QWidget*> order = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(order.indexOf(dialog.Image1), 0);
    QCOMPARE(order.indexOf(dialog.lblSelect), 1);
    QCOMPARE(dialog.childAt(dialog.cmdCOD->geometry().center()), dialog.cmdCOD);
    QCOMPARE(dialog.childAt(QPoint(4, 270)), dialog.Image1);
}

void frmGamesTest::buttonsChooseTheirGame_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("cfgFileName");
    QTest::addColumn<QString>("gameRegKey");
    QTest::addColumn<QString>("gameSubDir");
    QTest::newRow("cmdCOD") << "cmdCOD"
                            << "config_mp.cfg"
                            << "Software\\Activision\\Call of Duty"
                            << "\\Main\\";
    QTest::newRow("cmdCODUO") << "cmdCODUO"
                              << "uoconfig_mp.cfg"
                              << "Software\\Activision\\Call of Duty United Offensive"
                              << "\\UO\\";
}

void frmGamesTest::buttonsChooseTheirGame() {
    QFETCH(QString, button);
    QFETCH(QString, cfgFileName);
    QFETCH(QString, gameRegKey);
    QFETCH(QString, gameSubDir);
    Shared().CfgFileName = "earlier.cfg";
    frmGames& dialog = frmGames::instance();
    dialog.show();

    Click(dialog.findChild<QPushButton*>(button));

    QCOMPARE(QString::fromStdString(Shared().CfgFileName), cfgFileName);
    QCOMPARE(QString::fromStdString(Shared().GameRegKey), gameRegKey);
    QCOMPARE(QString::fromStdString(Shared().GameSubDir), gameSubDir);
    QVERIFY(!Shared().QuitRequested);
    QVERIFY(dialog.isHidden());
    QVERIFY(frmGames::isOpen()); // hidden, not closed
}

void frmGamesTest::closingSetsQuitRequested_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("close button") << "close button";
    QTest::newRow("closed by the program") << "program";
    QTest::newRow("closed while hidden after a choice") << "hidden";
}

void frmGamesTest::closingSetsQuitRequested() {
    QFETCH(QString, how);
    QPointer<frmGames> dialog = &frmGames::instance();
    dialog->show();
    if (how == "close button") {
        dialog->windowHandle()->close();
    } else if (how == "program") {
        frmGames::closeIfOpen();
    } else {
        Click(dialog->cmdCOD);
        Shared().QuitRequested = false;
        frmGames::closeIfOpen();
    }
    QVERIFY(Shared().QuitRequested);
    QVERIFY(!frmGames::isOpen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

void frmGamesTest::keysInTheDialog_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("chosenByKeys"); // empty: the keys chose nothing
    QTest::newRow("Space chooses the focused United Offensive")
        << QList<int>{Qt::Key_Space} << "uoconfig_mp.cfg";
    QTest::newRow("Tab, Space chooses Call of Duty")
        << QList<int>{Qt::Key_Tab, Qt::Key_Space} << "config_mp.cfg";
    QTest::newRow("Escape does nothing") << QList<int>{Qt::Key_Escape} << "";
    QTest::newRow("Enter chooses the focused United Offensive")
        << QList<int>{Qt::Key_Return} << "uoconfig_mp.cfg";
    QTest::newRow("Tab, keypad Enter chooses Call of Duty")
        << QList<int>{Qt::Key_Tab, Qt::Key_Enter} << "config_mp.cfg";
    // The repeats of an Enter held down since the editor's Save or Cancel.
    QTest::newRow("a held Enter's repeats choose nothing") << QList<int>{-Qt::Key_Return} << "";
}

void frmGamesTest::keysInTheDialog() {
    QFETCH(QList<int>, keys);
    QFETCH(QString, chosenByKeys);
    BothGames games;
    bool hiddenByKeys = false;
    bool focusedOnUnitedOffensive = false;
    Modal::setNextAnswer([&](QDialog& dialog) {
        focusedOnUnitedOffensive = dialog.focusWidget() == Games(dialog).cmdCODUO;
        for (int key : keys) {
            if (key > 0) {
                QTest::keyClick(dialog.focusWidget(), Qt::Key(key));
                continue;
            }
            // A negative key: only the repeats of a key pressed before the dialog opened.
            for (int repeat = 0; repeat < 3; ++repeat) {
                QKeyEvent press(QEvent::KeyPress, -key, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(dialog.focusWidget(), &press);
            }
            QTest::sendKeyEvent(QTest::Release, dialog.focusWidget(), Qt::Key(-key), QString(),
                                Qt::NoModifier);
        }
        hiddenByKeys = dialog.isHidden();
        if (!hiddenByKeys) {
            QVERIFY(!Shared().QuitRequested);
            ChooseCallOfDuty(dialog);
        }
    });
    Main();
    QVERIFY(focusedOnUnitedOffensive);
    QCOMPARE(hiddenByKeys, !chosenByKeys.isEmpty());
    if (hiddenByKeys)
        QCOMPARE(QString::fromStdString(Shared().CfgFileName), chosenByKeys);
    QVERIFY(frmMain::isOpen());
    QVERIFY(Modal::messagesShown().isEmpty());
}

// ---- The dialog in the edit cycle ----

void frmGamesTest::dialogAsksAgainAfterSaveAndCancel() {
    BothGames games;
    QList<QPointer<QDialog>> dialogsShown;
    const auto answer = [&](bool unitedOffensive) {
        return [&, unitedOffensive](QDialog& dialog) {
            // A new dialog every cycle, and no editor open meanwhile.
            for (const QPointer<QDialog>& earlier : dialogsShown)
                QVERIFY(earlier.isNull() || (earlier.data() != &dialog && earlier->isHidden()));
            dialogsShown << &dialog;
            QVERIFY(!frmMain::isOpen());
            QVERIFY(dialog.isVisible());
            Click(unitedOffensive ? Games(dialog).cmdCODUO : Games(dialog).cmdCOD);
        };
    };

    Modal::setNextAnswer(answer(false));
    Main();
    QCOMPARE(EditedFile(), CanonicalPath(games.install.codCfg));

    Modal::setNextAnswer(answer(true));
    Click(frmMain::instance().cmdLoad);
    Click(frmMain::instance().cmdSave);
    QCOMPARE(Modal::pendingAnswers(), 0);
    QCOMPARE(EditedFile(), CanonicalPath(games.install.uoCfg));
    QCOMPARE(QByteArray::fromStdString(Shared().RawName), QByteArray("^4U^7O"));

    Modal::setNextAnswer(answer(false));
    Click(frmMain::instance().cmdNew);
    Click(frmMain::instance().cmdReset);
    QCOMPARE(Modal::pendingAnswers(), 0);
    QCOMPARE(EditedFile(), CanonicalPath(games.install.codCfg));
    QCOMPARE(dialogsShown.size(), 3);
    QVERIFY(Modal::messagesShown().isEmpty());
}

void frmGamesTest::closingTheDialogEndsTheProgramWithoutReadingAFile() {
    BothGames games;
    Modal::setNextAnswer(ChooseCallOfDuty);
    Main();
    QVERIFY(frmMain::isOpen());
    // Reading either file now would end the cycle with a message.
    WriteBytes(games.install.codCfg, "seta rate \"25000\"\n");
    WriteBytes(games.install.uoCfg, "");
    Modal::setNextAnswer([](QDialog& dialog) { dialog.windowHandle()->close(); });

    QTimer watchdog; // only fires when the program failed to end
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    QTimer::singleShot(0, [] {
        frmMain::instance().cmdNew->click();
        frmMain::instance().cmdReset->click();
    });

    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!AnyWindowLeft());
    QVERIFY(Shared().QuitRequested);
    QVERIFY(Modal::messagesShown().isEmpty());
}

void frmGamesTest::positionCarriesFromTheMovedDialogToTheEditor() {
    BothGames games;
    QPoint firstPosition(-1, -1);
    Modal::setNextAnswer([&](QDialog& dialog) {
        firstPosition = dialog.pos();
        dialog.move(210, 120);
        ChooseCallOfDuty(dialog);
    });
    Main();
    QCOMPARE(firstPosition, QPoint(0, 0)); // the first window of a run: top-left
    QCOMPARE(frmMain::instance().pos(), QPoint(210, 120));
    QCOMPARE(Shared().SavedTop, 120.0f * 15);
    QCOMPARE(int(Shared().SavedLeft), 210 * 15);

    // And from a moved editor to the next dialog.
    frmMain::instance().move(60, 30);
    QPoint nextPosition;
    Modal::setNextAnswer([&](QDialog& dialog) {
        nextPosition = dialog.pos();
        ChooseCallOfDuty(dialog);
    });
    Click(frmMain::instance().cmdNew);
    Click(frmMain::instance().cmdReset);
    QCOMPARE(nextPosition, QPoint(60, 30));
}

void frmGamesTest::closingTheEditorClosesTheHiddenDialog() {
    BothGames games;
    Modal::setNextAnswer(ChooseCallOfDuty);
    Main();
    QVERIFY(frmGames::isOpen());
    QVERIFY(frmGames::instance().isHidden());

    frmMain::instance().windowHandle()->close();

    QVERIFY(!frmGames::isOpen());
    QVERIFY(!frmMain::isOpen());
    QVERIFY(!AnyWindowLeft());
    QVERIFY(Shared().QuitRequested);
}

// The game dialog of the next cycle runs a modal loop of its own while Cancel's handler, a method
// of the earlier editor, is still running: the editor must not be deleted inside that loop.
void frmGamesTest::earlierEditorOutlivesTheLoopsOfTheNextCycle() {
    BothGames games;
    Modal::setNextAnswer(ChooseCallOfDuty);
    Main();
    QVERIFY(frmMain::isOpen());
    QPointer<frmMain> earlier = &frmMain::instance();
    bool earlierLivedThroughTheLoop = false;
    Modal::setNextAnswer([&](QDialog& dialog) {
        QEventLoop modalLoop; // as the dialog's own exec runs one
        QTimer::singleShot(0, &modalLoop, &QEventLoop::quit);
        modalLoop.exec();
        earlierLivedThroughTheLoop = !earlier.isNull();
        ChooseCallOfDuty(dialog);
    });

    Click(earlier->cmdNew);
    Click(earlier->cmdReset);

    QVERIFY(earlierLivedThroughTheLoop);
    QVERIFY(frmMain::isOpen());
    QVERIFY(&frmMain::instance() != earlier.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(earlier.isNull());
}

QTEST_MAIN(frmGamesTest)
#include "frmGamesTest.moc"
