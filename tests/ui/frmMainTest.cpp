// SPDX-License-Identifier: GPL-3.0-or-later
// Clicks and moves go through the window as a real pointer's would, so what lies on top decides
// which control gets them (a selection mark must let clicks through to its cell).
#define QTEST_QPA_MOUSE_HANDLING

#include "UiTestSupport.h"
#include "gameconfig/CfgFile.h"
#include "startup/Main.h"
#include "startup/RunControl.h"
#include "ui/ClickLabel.h"
#include "ui/Cp1250.h"
#include "ui/SelectionMark.h"
#include "ui/ShowError.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

const QString Prompt = QStringLiteral("Type your name here!");

// The editor of the current cycle, or nullptr when none is open (tests QVERIFY it).
frmMain* Editor() {
    if (!frmMain::isOpen())
        return nullptr;
    return &frmMain::instance();
}

// For steps queued on the event loop, where a failed QVERIFY cannot end the test: the editor,
// or the end of the loop with exit code 98 when none is open.
void WithEditor(const std::function<void(frmMain&)>& step) {
    if (frmMain* editor = Editor())
        step(*editor);
    else
        QCoreApplication::exit(98);
}

// A new editor that has laid out an empty name once, which makes its name row and palette.
const frmMain& LaidOutEditor() {
    frmMain& editor = frmMain::instance();
    editor.Reset(false);
    return editor;
}

// Starts a cycle on the install and returns its editor.
frmMain* StartCycle() {
    Main();
    return Editor();
}

void TypeNewName(frmMain& editor, const QString& name) {
    Click(editor.cmdNew);
    editor.editJmeno->setText(name);
    QTest::keyClick(editor.editJmeno, Qt::Key_Return);
}

QList<QColor> CellColors(const frmMain& editor) {
    QList<QColor> colors;
    for (int i = 1; i <= Shared().NameLength; ++i)
        colors << TextColorOf(*editor.lblZnak[i]);
    return colors;
}

QString CellText(const frmMain& editor) {
    QString text;
    for (int i = 1; i <= Shared().NameLength; ++i)
        text += editor.lblZnak[i]->text();
    return text;
}

QList<int> NameColorList() {
    QList<int> colors;
    for (int i = 1; i <= Shared().NameLength; ++i)
        colors << Shared().NameColors[i];
    return colors;
}

// The code box's text as the bytes Save would write.
QByteArray CodeBoxBytes(const frmMain& editor) {
    const std::optional<std::string> bytes = EncodeCp1250(editor.editJmenoTag->text());
    return bytes ? QByteArray::fromStdString(*bytes) : QByteArray("<not Windows-1250>");
}

QList<int> SelectedCells(const frmMain& editor) {
    QList<int> selected;
    for (int i = 1; i <= frmMain::CellCount; ++i) {
        if (!editor.Kurzor[i]->isHidden())
            selected << i;
    }
    return selected;
}

const QList<QColor> Palette = {
    QColor(0, 0, 0),       QColor(192, 0, 0),     QColor(0, 128, 0),     QColor(255, 255, 0),
    QColor(0, 0, 192),     QColor(0, 255, 255),   QColor(255, 128, 255), QColor(255, 255, 255),
    QColor(128, 112, 255), QColor(255, 128, 128),
};

QStringList EditingStateControls(int nameLength, bool nameBoxShown) {
    QStringList names = ArrayNames("lblZnak", 1, nameLength) + ArrayNames("lblBarva", 0, 7) +
                        ArrayNames("lblCislo", 0, 7) +
                        QStringList{"Plocha",        "lblCode", "editJmenoTag", "lblGameCesta",
                                    "editGameCesta", "cmdSave", "cmdReset"};
    if (nameBoxShown)
        names << "editJmeno";
    return Sorted(names);
}

} // namespace

class frmMainTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWindowTests(); }
    void cleanup() { StartAfresh(); }

    void geometryFollowsTheLayout_data();
    void geometryFollowsTheLayout();
    void appearance_data();
    void appearance();
    void newWindowShowsOnlyTheBackground();
    void windowIsFixedWithTitleAndCloseButtonOnly();
    void stackingLetsClicksThroughMarksAndGapsReachTheBackground();
    void focusOrder();
    void markFramesItsCellInLightYellow();

    void choiceStateAsMainShowsIt();
    void newNameState();
    void mouseDownInNameBoxClearsOnlyThePrompt_data();
    void mouseDownInNameBoxClearsOnlyThePrompt();
    void enterInNameBox_data();
    void enterInNameBox();
    void loadFromCfg_data();
    void loadFromCfg();
    void loadOverLimitLeavesChoiceState();
    void cellClickTogglesItsMark();
    void colouring_data();
    void colouring();
    void colours8And9ComeFromHiddenSwatches();
    void pointerFollowsTheMouse_data();
    void pointerFollowsTheMouse();
    void nameBoxesRefuseWhatTheFileCannotHold();
    void enterClicksOnlyTheFocusedButton();
    void messagesStandOverTheEditor();
    void messagesFitTheScreen_data();
    void messagesFitTheScreen();

    void workedExampleEndToEnd();
    void saveUnchangedKeepsTheFileByteForByte();
    void saveWritesWhatTheCodeBoxHolds();
    void saveFailureLeavesTheEditorAsItWas_data();
    void saveFailureLeavesTheEditorAsItWas();
    void cancelWritesNothingAndStartsANewCycle_data();
    void cancelWritesNothingAndStartsANewCycle();
    void cancelAfterALongerNameOfAnEarlierCycle();
    void closingTheEditorEndsTheProgram();
    void handOverKeepsTheProgramRunning();
};

// ---- Layout ----

void frmMainTest::geometryFollowsTheLayout_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Twips, as the layout gives them.
    QTest::newRow("editJmeno") << 240 << 240 << 7215 << 390;
    QTest::newRow("lblCode") << 240 << 2280 << 735 << 255;
    QTest::newRow("editJmenoTag") << 240 << 2520 << 7215 << 360;
    QTest::newRow("cmdNew") << 1800 << 2520 << 1935 << 495;
    QTest::newRow("cmdLoad") << 4080 << 2520 << 1935 << 495;
    QTest::newRow("lblGameCesta") << 240 << 2880 << 1335 << 255;
    QTest::newRow("editGameCesta") << 240 << 3120 << 7215 << 360;
    QTest::newRow("cmdReset") << 3240 << 3600 << 975 << 375;
    QTest::newRow("cmdSave") << 5520 << 3600 << 1935 << 375;
    QTest::newRow("Plocha") << -600 << 0 << 9000 << 4200;
    for (int i = 1; i <= 30; ++i) {
        QTest::addRow("lblZnak(%d)", i) << 240 * i << 720 << 225 << 345;
        QTest::addRow("Kurzor(%d)", i) << 240 * i << 720 << 225 << 360;
    }
    for (int i = 0; i <= 9; ++i) {
        QTest::addRow("lblBarva(%d)", i) << 2040 + 480 * i << 1560 << 375 << 375;
        QTest::addRow("lblCislo(%d)", i) << 2040 + 480 * i << 1920 << 375 << 255;
    }
}

void frmMainTest::geometryFollowsTheLayout() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    const frmMain& editor = LaidOutEditor();
    const auto* control = editor.findChild<QWidget*>(QLatin1String(QTest::currentDataTag()));
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &editor);
    QCOMPARE(control->geometry(), QRect(left / 15, top / 15, width / 15, height / 15));
    // Every control of the window has its row above.
    QCOMPARE(editor.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 10 + 60 + 20);
}

void frmMainTest::appearance_data() {
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("text");       // invalid: the system's
    QTest::addColumn<QColor>("background"); // invalid: transparent or the system's
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<int>("alignment");

    const QColor none;
    const int left = Qt::AlignLeft;
    const int centre = Qt::AlignHCenter;
    const QString cellTip = "Click to select/deselect char";
    const QString swatchTip = "Click to change color for selected chars";
    QTest::newRow("editJmeno") << 12.0 << true << QColor(255, 255, 255) << QColor(0, 0, 0) << Prompt
                               << "" << left;
    QTest::newRow("lblCode") << 8.25 << false << QColor(192, 192, 192) << none << "Code:"
                             << "" << left;
    QTest::newRow("editJmenoTag") << 9.0 << true << QColor(128, 128, 128) << QColor(64, 0, 0) << ""
                                  << "" << left;
    QTest::newRow("lblGameCesta") << 8.25 << false << QColor(192, 192, 192) << none << "CFG path:"
                                  << "" << left;
    QTest::newRow("editGameCesta") << 9.0 << true << QColor(128, 128, 128) << QColor(64, 0, 0) << ""
                                   << "" << left;
    QTest::newRow("cmdNew") << 9.75 << true << none << none << "New name"
                            << "" << 0;
    QTest::newRow("cmdLoad") << 9.75 << true << none << none << "Use from CFG"
                             << "" << 0;
    QTest::newRow("cmdReset") << 9.75 << true << none << none << "Cancel"
                              << "" << 0;
    QTest::newRow("cmdSave") << 9.75 << true << none << none << "Save to CFG"
                             << "" << 0;
    for (int i : {1, 17, 30})
        QTest::addRow("lblZnak(%d)", i)
            << 14.25 << true << QColor(255, 255, 255) << QColor(0, 0, 0) << "" << cellTip << centre;
    for (int i = 0; i <= 9; ++i) {
        QTest::addRow("lblBarva(%d)", i)
            << -1.0 << false << none << Palette[i] << "" << swatchTip << 0;
        QTest::addRow("lblCislo(%d)", i)
            << 8.25 << false << QColor(192, 192, 192) << none << QString::number(i) << "" << centre;
    }
}

void frmMainTest::appearance() {
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(int, alignment);
    const frmMain& editor = LaidOutEditor();
    const auto* control = editor.findChild<QWidget*>(QLatin1String(QTest::currentDataTag()));
    QVERIFY(control);

    if (points > 0) {
        QCOMPARE(control->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().bold(), bold);
    }
    QCOMPARE(control->toolTip(), toolTip);
    if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
        QCOMPARE(box->text(), caption);
        QCOMPARE(box->palette().color(QPalette::Text), text);
        QCOMPARE(box->palette().color(QPalette::Base), background);
        QCOMPARE(int(box->alignment() & Qt::AlignHorizontal_Mask), alignment);
        QCOMPARE(box->maxLength(), 32767); // no limit of its own
        QVERIFY(!box->isReadOnly());
    } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        if (text.isValid())
            QCOMPARE(TextColorOf(*label), text);
        QCOMPARE(label->autoFillBackground(), background.isValid());
        if (background.isValid())
            QCOMPARE(BackgroundColorOf(*label), background);
        if (alignment != 0)
            QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
    } else {
        QFAIL("unexpected kind of control");
    }
}

void frmMainTest::newWindowShowsOnlyTheBackground() {
    const frmMain& editor = frmMain::instance();
    QCOMPARE(ShownControls(editor), QStringList{"Plocha"});
    for (const QWidget* child : editor.findChildren<QWidget*>())
        QVERIFY2(child->isEnabled(), qPrintable(child->objectName()));
    for (int i = 1; i <= 30; ++i)
        QVERIFY(!editor.lblZnak[i] || editor.lblZnak[i]->text().isEmpty());
    QCOMPARE(editor.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!editor.Plocha->pixmap().isNull());
    QVERIFY(editor.Plocha->hasScaledContents());
}

void frmMainTest::windowIsFixedWithTitleAndCloseButtonOnly() {
    const frmMain& editor = frmMain::instance();
    QCOMPARE(editor.minimumSize(), QSize(512, 279));
    QCOMPARE(editor.maximumSize(), QSize(512, 279));
    const Qt::WindowFlags flags = editor.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(BackgroundColorOf(editor), QColor(64, 64, 0));
    QVERIFY(!editor.windowIcon().isNull());
    QVERIFY(!editor.testAttribute(Qt::WA_DeleteOnClose));
}

void frmMainTest::stackingLetsClicksThroughMarksAndGapsReachTheBackground() {
    GameInstall install("abcd");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);
    Click(editor->lblZnak[2]);
    QVERIFY(!editor->Kurzor[2]->isHidden());

    const QPoint cellCentre = editor->lblZnak[2]->geometry().center();
    QCOMPARE(editor->childAt(cellCentre), editor->lblZnak[2]); // the mark is transparent
    QCOMPARE(editor->childAt(QPoint(4, 4)), editor->Plocha);
    QCOMPARE(editor->childAt(editor->lblBarva[9]->geometry().center()), editor->Plocha);

    // Marks above their cells, boxes and buttons above every label, the picture at the back.
    const QList<QWidget*> order = editor->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(order.first(), editor->Plocha);
    for (int i = 1; i <= 30; ++i)
        QVERIFY(order.indexOf(editor->Kurzor[i]) > order.indexOf(editor->lblZnak[i]));
    const qsizetype topLabel =
        std::max({order.indexOf(editor->lblCode), order.indexOf(editor->lblGameCesta),
                  order.indexOf(editor->Kurzor[30]), order.indexOf(editor->lblBarva[9])});
    const QList<QWidget*> boxesAndButtons = {
        editor->editJmeno, editor->editJmenoTag, editor->editGameCesta, editor->cmdNew,
        editor->cmdLoad,   editor->cmdReset,     editor->cmdSave};
    for (QWidget* box : boxesAndButtons)
        QVERIFY2(order.indexOf(box) > topLabel, qPrintable(box->objectName()));
}

void frmMainTest::focusOrder() {
    const frmMain& editor = frmMain::instance();
    QStringList chain;
    QWidget* widget = editor.editJmeno;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != editor.editJmeno);
    QCOMPARE(chain, (QStringList{"editJmeno", "editJmenoTag", "cmdReset", "cmdNew", "cmdLoad",
                                 "cmdSave", "editGameCesta"}));
}

void frmMainTest::markFramesItsCellInLightYellow() {
    GameInstall install("^4abc");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);
    Click(editor->lblZnak[2]);
    const QRect mark = editor->Kurzor[2]->geometry();
    const QImage shot = editor->grab(mark).toImage();
    const QColor light(255, 255, 192);
    const int midX = shot.width() / 2;
    const int midY = shot.height() / 2;
    for (const QPoint edge : {QPoint(0, midY), QPoint(1, midY), QPoint(shot.width() - 1, midY),
                              QPoint(midX, 0), QPoint(midX, shot.height() - 1)})
        QCOMPARE(shot.pixelColor(edge), light);
    // Inside the frame the cell's black background still shows.
    QCOMPARE(shot.pixelColor(2, 2), QColor(0, 0, 0));
}

// ---- States and handlers ----

void frmMainTest::choiceStateAsMainShowsIt() {
    GameInstall install("^1Ro^7ok");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(ShownControls(*editor), Sorted({"Plocha", "cmdNew", "cmdLoad"}));
    // The path box names the very file the install holds.
    QCOMPARE(QFileInfo(editor->editGameCesta->text()).canonicalFilePath(),
             QFileInfo(install.codCfg).canonicalFilePath());
    QVERIFY(editor->windowTitle().startsWith("Tintwell (build: 0.93)   "));
}

void frmMainTest::newNameState() {
    GameInstall install("x");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Shared().NameColors.fill(3);
    Click(editor->cmdNew);
    QCOMPARE(ShownControls(*editor),
             Sorted({"Plocha", "editJmeno", "lblGameCesta", "editGameCesta", "cmdReset"}));
    QCOMPARE(editor->editJmeno->text(), Prompt);
    for (int i = 1; i <= 30; ++i)
        QCOMPARE(int(Shared().NameColors[i]), 7);
    // Typing replaces the prompt.
    QTest::keyClicks(editor->editJmeno, "Zed");
    QCOMPARE(editor->editJmeno->text(), QStringLiteral("Zed"));
}

void frmMainTest::mouseDownInNameBoxClearsOnlyThePrompt_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("prompt") << Prompt << "";
    QTest::newRow("a name") << "Rook"
                            << "Rook";
    QTest::newRow("prompt with more") << Prompt + "!" << Prompt + "!";
}

void frmMainTest::mouseDownInNameBoxClearsOnlyThePrompt() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    GameInstall install("x");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdNew);
    editor->editJmeno->setText(before);
    QTest::mousePress(editor->editJmeno, Qt::LeftButton);
    QCOMPARE(editor->editJmeno->text(), after);
    QTest::mouseRelease(editor->editJmeno, Qt::LeftButton);
}

void frmMainTest::enterInNameBox_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    const QString limit = "Max chars in name. Limit: 30";
    QTest::newRow("Enter") << "abcd" << int(Qt::Key_Return) << true << "";
    QTest::newRow("keypad Enter") << "abcd" << int(Qt::Key_Enter) << true << "";
    QTest::newRow("other key") << "abcd" << int(Qt::Key_Tab) << false << "";
    QTest::newRow("empty box") << "" << int(Qt::Key_Return) << false << "";
    QTest::newRow("the prompt itself") << Prompt << int(Qt::Key_Return) << true << "";
    QTest::newRow("30 chars") << QString(30, 'x') << int(Qt::Key_Return) << true << "";
    QTest::newRow("31 chars") << QString(31, 'x') << int(Qt::Key_Return) << false << limit;
    QTest::newRow("caret typed is not taken") << "a^1b" << int(Qt::Key_Return) << true << "";
}

void frmMainTest::enterInNameBox() {
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    GameInstall install("x");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdNew);
    const QStringList newNameState = ShownControls(*editor);
    Shared().NameLength = 5;
    editor->editJmeno->clear();
    QTest::keyClicks(editor->editJmeno, name);
    const QString taken = QString(name).remove(QLatin1Char('^'));

    QTest::keyClick(editor->editJmeno, Qt::Key(key));

    QCOMPARE(Modal::messagesShown(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (!accepted) {
        QCOMPARE(ShownControls(*editor), newNameState);
        QCOMPARE(Shared().NameLength, 5);
        QVERIFY(editor->editJmeno->isEnabled());
        return;
    }
    QCOMPARE(Shared().NameLength, int(taken.size()));
    QCOMPARE(ShownControls(*editor), EditingStateControls(taken.size(), true));
    QVERIFY(!editor->editJmeno->isEnabled());
    QCOMPARE(CellText(*editor), taken);
    QCOMPARE(CellColors(*editor), QList<QColor>(taken.size(), Palette[7]));
    QCOMPARE(editor->editJmenoTag->text(), "^7" + taken);
    QCOMPARE(Latin1(Shared().TagText), "^7" + taken);
    QVERIFY(SelectedCells(*editor).isEmpty());
}

void frmMainTest::loadFromCfg_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QList<int>>("colors");
    QTest::newRow("worked example") << QByteArray("^1Ro^7ok") << "Rook" << QList<int>{1, 1, 7, 7};
    QTest::newRow("no codes") << QByteArray("abc") << "abc" << QList<int>{7, 7, 7};
    QTest::newRow("30 visible chars behind codes")
        << ("^3" + QByteArray(15, 'a') + "^5" + QByteArray(15, 'b'))
        << QString(15, 'a') + QString(15, 'b') << (QList<int>(15, 3) + QList<int>(15, 5));
    QTest::newRow("only codes") << QByteArray("^1^2") << "" << QList<int>{};
    QTest::newRow("empty") << QByteArray("") << "" << QList<int>{};
    QTest::newRow("Windows-1250 bytes")
        << QByteArray("^2\x8A\xE8\x81") << QString::fromUtf8("Šč\u0081") << QList<int>{2, 2, 2};
}

void frmMainTest::loadFromCfg() {
    QFETCH(QByteArray, raw);
    QFETCH(QString, cells);
    QFETCH(QList<int>, colors);
    GameInstall install(raw.toStdString());
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);

    QVERIFY(Modal::messagesShown().isEmpty());
    QCOMPARE(Shared().NameLength, int(cells.size()));
    QCOMPARE(CellText(*editor), cells);
    QCOMPARE(NameColorList(), colors);
    for (int i = 1; i <= cells.size(); ++i)
        QCOMPARE(TextColorOf(*editor->lblZnak[i]), Palette[colors[i - 1]]);
    QCOMPARE(ShownControls(*editor), EditingStateControls(cells.size(), false));
    // The file's own text, not the rebuilt tag, until a swatch is clicked.
    QCOMPARE(CodeBoxBytes(*editor), raw);
}

void frmMainTest::loadOverLimitLeavesChoiceState() {
    GameInstall install("^1" + std::string(20, 'a') + "^2" + std::string(11, 'b'));
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Shared().NameColors.fill(4);
    const SharedState before = Shared();

    Click(editor->cmdLoad);

    QCOMPARE(Modal::messagesShown(),
             QStringList{"Length of the name [31 chars] from CFG file is over limit.\n"
                         "Length limit: 30 chars."});
    QCOMPARE(ShownControls(*editor), Sorted({"Plocha", "cmdNew", "cmdLoad"}));
    QVERIFY(Shared().NameColors == before.NameColors);
    QCOMPARE(Shared().NameLength, before.NameLength);
    // The user can still choose a new name.
    Click(editor->cmdNew);
    QVERIFY(!editor->editJmeno->isHidden());
}

void frmMainTest::cellClickTogglesItsMark() {
    GameInstall install("abcd");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);

    Click(editor->lblZnak[3]);
    QCOMPARE(SelectedCells(*editor), QList<int>{3});
    Click(editor->lblZnak[1]);
    QCOMPARE(SelectedCells(*editor), (QList<int>{1, 3}));
    Click(editor->lblZnak[3]); // through its mark
    QCOMPARE(SelectedCells(*editor), QList<int>{1});
    // Selecting changes neither the colours nor the code.
    QCOMPARE(NameColorList(), (QList<int>{7, 7, 7, 7}));
    QCOMPARE(CodeBoxBytes(*editor), QByteArray("abcd"));
}

void frmMainTest::colouring_data() {
    QTest::addColumn<bool>("typed"); // typed as a new name, else loaded from the file
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QList<int>>("cellClicks");
    QTest::addColumn<int>("swatch");
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QList<int>>("colors");
    QTest::newRow("cells 2 and 3 of abcd") << true << QByteArray("abcd") << QList<int>{2, 3} << 1
                                           << QByteArray("^7a^1bc^7d") << QList<int>{7, 1, 1, 7};
    QTest::newRow("worked example") << false << QByteArray("^1Ro^7ok") << QList<int>{3, 4} << 4
                                    << QByteArray("^1Ro^4ok") << QList<int>{1, 1, 4, 4};
    QTest::newRow("nothing selected rebuilds the file's code")
        << false << QByteArray("^1a^1b") << QList<int>{} << 0 << QByteArray("^1ab")
        << QList<int>{1, 1};
    QTest::newRow("cell clicked twice stays as it was")
        << true << QByteArray("abc") << QList<int>{2, 2} << 5 << QByteArray("^7abc")
        << QList<int>{7, 7, 7};
    QTest::newRow("every cell") << true << QByteArray("ab") << QList<int>{1, 2} << 0
                                << QByteArray("^0ab") << QList<int>{0, 0};
    QTest::newRow("colour 9 stays until changed") << false << QByteArray("^9a^8b") << QList<int>{2}
                                                  << 2 << QByteArray("^9a^2b") << QList<int>{9, 2};
    QTest::newRow("no characters")
        << false << QByteArray("^3") << QList<int>{} << 6 << QByteArray("") << QList<int>{};
    QTest::newRow("last of 30 cells")
        << true << QByteArray(30, 'x') << QList<int>{30} << 6
        << QByteArray("^7" + QByteArray(29, 'x') + "^6x") << (QList<int>(29, 7) << 6);
    QTest::newRow("typed caret is kept") << true << QByteArray("a^b") << QList<int>{1} << 3
                                         << QByteArray("^3a^7^b") << QList<int>{3, 7, 7};
}

void frmMainTest::colouring() {
    QFETCH(bool, typed);
    QFETCH(QByteArray, name);
    QFETCH(QList<int>, cellClicks);
    QFETCH(int, swatch);
    QFETCH(QByteArray, tag);
    QFETCH(QList<int>, colors);
    GameInstall install(typed ? "old" : name.toStdString());
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    if (typed)
        TypeNewName(*editor, QString::fromLatin1(name));
    else
        Click(editor->cmdLoad);

    for (int cell : cellClicks)
        Click(editor->lblZnak[cell]);
    Click(editor->lblBarva[swatch]);

    QVERIFY(SelectedCells(*editor).isEmpty());
    QCOMPARE(CodeBoxBytes(*editor), tag);
    QCOMPARE(QByteArray::fromStdString(Shared().TagText), tag);
    QCOMPARE(NameColorList(), colors);
    for (int i = 1; i <= colors.size(); ++i)
        QCOMPARE(TextColorOf(*editor->lblZnak[i]), Palette[colors[i - 1]]);
}

void frmMainTest::colours8And9ComeFromHiddenSwatches() {
    GameInstall install("^8a^9b");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);
    QCOMPARE(TextColorOf(*editor->lblZnak[1]), QColor(128, 112, 255));
    QCOMPARE(TextColorOf(*editor->lblZnak[2]), QColor(255, 128, 128));
    for (int k : {8, 9}) {
        QVERIFY(editor->lblBarva[k]->isHidden());
        QVERIFY(editor->lblCislo[k]->isHidden());
    }
}

void frmMainTest::pointerFollowsTheMouse_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("then");
    QTest::addColumn<int>("shape");
    const int help = Qt::WhatsThisCursor;
    const int arrow = Qt::ArrowCursor;
    QTest::newRow("onto a cell") << "Plocha"
                                 << "lblZnak(2)" << help;
    QTest::newRow("onto a swatch") << "Plocha"
                                   << "lblBarva(7)" << help;
    QTest::newRow("cell, then the background") << "lblZnak(1)"
                                               << "Plocha" << arrow;
    QTest::newRow("swatch, then a hidden swatch's place") << "lblBarva(0)"
                                                          << "lblBarva(9)" << arrow;
    QTest::newRow("cell, then a button") << "lblZnak(1)"
                                         << "cmdSave" << help;
    QTest::newRow("cell, then a digit") << "lblZnak(1)"
                                        << "lblCislo(3)" << help;
    QTest::newRow("background, then the code label") << "Plocha"
                                                     << "lblCode" << arrow;
}

void frmMainTest::pointerFollowsTheMouse() {
    QFETCH(QString, first);
    QFETCH(QString, then);
    QFETCH(int, shape);
    GameInstall install("abcd");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);
    const auto pointAt = [&](const QString& name) {
        if (name == "Plocha")
            return QPoint(4, 4); // a gap between controls
        return editor->findChild<QWidget*>(name)->geometry().center();
    };
    QTest::mouseMove(editor, pointAt(first));
    QTest::mouseMove(editor, pointAt(then));
    QCOMPARE(int(editor->cursor().shape()), shape);
}

void frmMainTest::nameBoxesRefuseWhatTheFileCannotHold() {
    GameInstall install("x");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdNew);
    QLineEdit* box = editor->editJmeno;
    box->clear();
    for (const QString& typed : {QStringLiteral("Ž"), QStringLiteral("ж"), QStringLiteral("ñ"),
                                 QStringLiteral("€"), QStringLiteral("😀"), QStringLiteral("a")})
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, typed, Qt::NoModifier);
    QCOMPARE(box->text(), QStringLiteral("Ž€a"));

    QGuiApplication::clipboard()->setText(QStringLiteral("Ďábel"));
    box->paste();
    QCOMPARE(box->text(), QStringLiteral("Ž€aĎábel"));
    QGuiApplication::clipboard()->setText(QStringLiteral("Ωmega"));
    box->paste();
    QCOMPARE(box->text(), QStringLiteral("Ž€aĎábel"));
    // A quote would end the name entry early, a control character its line: a name with one
    // could never be saved. (The code box takes them, as a loaded name may hold one; Save checks
    // it.)
    // A caret would turn what follows into a colour code.
    for (const QString& refused :
         {QStringLiteral("\""), QStringLiteral("\t"), QStringLiteral("a\rb"),
          QStringLiteral("Rook \"1\""), QStringLiteral("^"), QStringLiteral("a^1b")}) {
        QGuiApplication::clipboard()->setText(refused);
        box->paste();
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, refused, Qt::NoModifier);
    }
    QCOMPARE(box->text(), QStringLiteral("Ž€aĎábel"));

    editor->editJmenoTag->setText(QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("^1Ωmega"));
    editor->editJmenoTag->paste();
    QVERIFY(editor->editJmenoTag->text().isEmpty());
    QTest::keyClicks(editor->editJmenoTag, QStringLiteral("^1a"));
    QCOMPARE(editor->editJmenoTag->text(), QStringLiteral("^1a"));
    // The path box shows host file names and takes any text.
    editor->editGameCesta->setText(QString());
    editor->editGameCesta->paste();
    QCOMPARE(editor->editGameCesta->text(), QStringLiteral("^1Ωmega"));
}

// Enter clicks a button that has the focus, as Space does; none is the window's default button,
// so Enter in a text box clicks nothing.
void frmMainTest::enterClicksOnlyTheFocusedButton() {
    GameInstall install("^1Ro^7ok");
    const QByteArray original = FileBytes(install.codCfg);
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    QPointer<frmMain> firstEditor = editor;

    QTest::keyClick(editor->cmdLoad, Qt::Key_Return);
    QVERIFY(editor->cmdLoad->isHidden());
    QCOMPARE(editor->editJmenoTag->text(), QStringLiteral("^1Ro^7ok"));

    Click(editor->lblZnak[1]);
    Click(editor->lblBarva[4]);
    QTest::keyClick(editor->editJmenoTag, Qt::Key_Return);
    QTest::keyClick(editor->editGameCesta, Qt::Key_Enter);
    QCOMPARE(Editor(), firstEditor.data());
    QCOMPARE(FileBytes(install.codCfg), original);

    QTest::keyClick(editor->cmdSave, Qt::Key_Enter);
    QCOMPARE(FileBytes(install.codCfg), QByteArray::fromStdString(ConfigWithName("^4R^1o^7ok")));
    QVERIFY(Editor() != firstEditor.data());
    QVERIFY(Modal::messagesShown().isEmpty());
}

void frmMainTest::messagesStandOverTheEditor() {
    GameInstall install("x");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdNew);
    editor->editJmeno->setText(QString(31, 'x'));
    QWidget* boxParent = nullptr;
    Modal::setNextAnswer([&](QDialog& box) { boxParent = box.parentWidget(); });

    QTest::keyClick(editor->editJmeno, Qt::Key_Return);

    QCOMPARE(Modal::messagesShown().size(), 1);
    QCOMPARE(boxParent, editor);
}

void frmMainTest::messagesFitTheScreen_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("overTheEditor"); // which stands half off the screen's corner
    QString deepPath = "C:";
    for (int i = 0; i < 60; ++i)
        deepPath += "\\" + QString(200, QLatin1Char('d'));
    QTest::newRow("short") << "CFG file is corrupted." << true;
    QTest::newRow("60 folders of 200 chars")
        << "Game is NOT instaled properly..\nCFG file (" + deepPath + ") NOT found." << false;
    QTest::newRow("long path without blanks")
        << "CFG file (/home/" + QString(300, QLatin1Char('x')) +
               "/config_mp.cfg) could not be written."
        << true;
}

// The box lies within the screen's free area, its OK button can be clicked, and all of its text
// can be read: wrapped to the box's width, and scrolled where it is taller.
void frmMainTest::messagesFitTheScreen() {
    QFETCH(QString, text);
    QFETCH(bool, overTheEditor);
    GameInstall install("x");
    if (frmMain* editor = overTheEditor ? StartCycle() : nullptr)
        editor->move(editor->screen()->availableGeometry().bottomRight() - editor->rect().center());
    Modal::setNextAnswer([&](QDialog& box) {
        QVERIFY(box.screen()->availableGeometry().contains(box.frameGeometry()));
        QPushButton* ok = box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QVERIFY(box.frameGeometry().contains(QRect(ok->mapToGlobal(QPoint()), ok->size())));
        const QTextEdit* view = box.findChild<QTextEdit*>();
        QCOMPARE(view->toPlainText(), text);
        QVERIFY(view->document()->idealWidth() <= view->viewport()->width());
        QVERIFY(view->document()->size().height() <=
                view->viewport()->height() + view->verticalScrollBar()->maximum());
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    });
    ShowError(text);
    QCOMPARE(Modal::pendingAnswers(), 0);
}

// ---- The edit cycle ----

void frmMainTest::workedExampleEndToEnd() {
    const std::string original = ConfigWithName("^1Ro^7ok");
    GameInstall install("^1Ro^7ok");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    QPointer<frmMain> firstEditor = editor;

    Click(editor->cmdLoad);
    QCOMPARE(CellText(*editor), QStringLiteral("Rook"));
    QCOMPARE(CodeBoxBytes(*editor), QByteArray("^1Ro^7ok"));
    Click(editor->lblZnak[3]);
    Click(editor->lblZnak[4]);
    QCOMPARE(SelectedCells(*editor), (QList<int>{3, 4}));
    Click(editor->lblBarva[4]);
    QVERIFY(SelectedCells(*editor).isEmpty());
    QCOMPARE(CodeBoxBytes(*editor), QByteArray("^1Ro^4ok"));
    Click(editor->cmdSave);

    std::string expected = original;
    expected.replace(expected.find("^1Ro^7ok"), 8, "^1Ro^4ok");
    QCOMPARE(FileBytes(install.codCfg), QByteArray::fromStdString(expected));
    QVERIFY(Modal::messagesShown().isEmpty());

    // The next cycle has read the file anew and opened a fresh editor.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(firstEditor.isNull());
    editor = Editor();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(ShownControls(*editor), Sorted({"Plocha", "cmdNew", "cmdLoad"}));
    QCOMPARE(QByteArray::fromStdString(Shared().RawName), QByteArray("^1Ro^4ok"));
    Click(editor->cmdLoad);
    QCOMPARE(CodeBoxBytes(*editor), QByteArray("^1Ro^4ok"));
    QCOMPARE(NameColorList(), (QList<int>{1, 1, 4, 4}));
}

void frmMainTest::saveUnchangedKeepsTheFileByteForByte() {
    // Every byte Windows-1250 leaves undefined, some it does define, and control characters
    // that end neither the value nor the line.
    const std::string name = "^1\x81\x83\x88\x90\x98^2\x8A\xE8\xFF\xA0"
                             "A\x01\tB\x1F\x7F";
    GameInstall install(name);
    const std::string original = ReadBytes(install.codCfg);
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);
    Click(editor->cmdSave);
    QVERIFY(Modal::messagesShown().isEmpty());
    QCOMPARE(FileBytes(install.codCfg), QByteArray::fromStdString(original));

    // Rebuilt by a swatch click, the same characters and colours give the same bytes too.
    editor = Editor();
    QVERIFY(editor);
    Click(editor->cmdLoad);
    Click(editor->lblBarva[0]);
    QCOMPARE(CodeBoxBytes(*editor), QByteArray::fromStdString(name));
}

void frmMainTest::saveWritesWhatTheCodeBoxHolds() {
    GameInstall install("^1Ro^7ok");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdLoad);
    editor->editJmenoTag->clear();
    QTest::keyClicks(editor->editJmenoTag, "^5Typed^^x");
    Click(editor->cmdSave);
    QCOMPARE(FileBytes(install.codCfg), QByteArray::fromStdString(ConfigWithName("^5Typed^^x")));
}

void frmMainTest::saveFailureLeavesTheEditorAsItWas_data() {
    QTest::addColumn<bool>("removeFolder"); // else a quote in the code
    QTest::newRow("config folder gone") << true;
    QTest::newRow("quote in the code") << false;
}

void frmMainTest::saveFailureLeavesTheEditorAsItWas() {
    QFETCH(bool, removeFolder);
    const std::string original = ConfigWithName("^1Ro^7ok");
    GameInstall install("^1Ro^7ok");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    QPointer<frmMain> sameEditor = editor;
    Click(editor->cmdLoad);
    Click(editor->lblZnak[2]);
    Click(editor->lblBarva[3]);
    Click(editor->lblZnak[4]);
    if (removeFolder) {
        std::filesystem::remove_all(install.codCfg.parent_path());
    } else {
        editor->editJmenoTag->end(false);
        QTest::keyClicks(editor->editJmenoTag, "\";quit");
    }
    const QStringList shown = ShownControls(*editor);
    const QString code = editor->editJmenoTag->text();
    const QList<int> colors = NameColorList();

    Click(editor->cmdSave);

    QCOMPARE(Modal::messagesShown().size(), 1);
    const QString expectedMessage = removeFolder ? "CFG file (" +
                                                       QFile::decodeName(Shared().CfgPath.c_str()) +
                                                       ") could not be written.\n"
                                                 : UnsafeTagMessage;
    QVERIFY2(Modal::messagesShown().first().startsWith(expectedMessage),
             qPrintable(Modal::messagesShown().first()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(sameEditor);
    QCOMPARE(Editor(), sameEditor.data());
    QVERIFY(sameEditor->isVisible());
    QVERIFY(!Shared().QuitRequested);
    QCOMPARE(ShownControls(*sameEditor), shown);
    QCOMPARE(sameEditor->editJmenoTag->text(), code);
    QCOMPARE(NameColorList(), colors);
    QCOMPARE(SelectedCells(*sameEditor), QList<int>{4});
    if (!removeFolder)
        QCOMPARE(FileBytes(install.codCfg), QByteArray::fromStdString(original));

    // The user can put things right and save again.
    if (removeFolder)
        WriteBytes(install.codCfg, original);
    else
        sameEditor->editJmenoTag->setText("^1R^3o^1ok");
    const QByteArray fixedCode = CodeBoxBytes(*sameEditor);
    Click(sameEditor->cmdSave);
    QCOMPARE(Modal::messagesShown().size(), 1);
    QCOMPARE(FileBytes(install.codCfg),
             QByteArray::fromStdString(ConfigWithName(fixedCode.toStdString())));
    QVERIFY(fixedCode.startsWith("^1R^3o"));
}

void frmMainTest::cancelWritesNothingAndStartsANewCycle_data() {
    QTest::addColumn<bool>("editing"); // cancel in the editing state, else in the new-name state
    QTest::addColumn<QPoint>("movedTo");
    QTest::newRow("from new name") << false << QPoint(150, 90);
    QTest::newRow("from editing") << true << QPoint(150, 90);
    // 2500 pixels are 37500 twips, beyond the 16 bits of SavedLeft.
    QTest::newRow("on a second screen") << false << QPoint(2500, 90);
}

void frmMainTest::cancelWritesNothingAndStartsANewCycle() {
    QFETCH(bool, editing);
    GameInstall install("^1Ro^7ok");
    const std::string original = ReadBytes(install.codCfg);
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    QPointer<frmMain> firstEditor = editor;
    if (editing) {
        TypeNewName(*editor, "Zed");
        Click(editor->lblZnak[1]);
        Click(editor->lblBarva[2]);
    } else {
        Click(editor->cmdNew);
    }
    QFETCH(QPoint, movedTo);
    editor->move(movedTo);
    const QPoint moved = editor->pos();

    Click(editor->cmdReset);

    QCOMPARE(FileBytes(install.codCfg), QByteArray::fromStdString(original));
    QVERIFY(Modal::messagesShown().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(firstEditor.isNull());
    editor = Editor();
    QVERIFY(editor);
    QCOMPARE(ShownControls(*editor), Sorted({"Plocha", "cmdNew", "cmdLoad"}));
    QCOMPARE(editor->editJmeno->text(), Prompt);
    QVERIFY(editor->editJmeno->isEnabled());
    QCOMPARE(Shared().SavedTop, float(moved.y() * 15));
    QCOMPARE(int(Shared().SavedLeft), std::min(moved.x() * 15, 32767));
    QCOMPARE(editor->pos(), moved);
    QVERIFY(!Shared().QuitRequested);
}

void frmMainTest::cancelAfterALongerNameOfAnEarlierCycle() {
    GameInstall install("x");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    TypeNewName(*editor, QString(30, 'w'));
    Click(editor->cmdSave);
    editor = Editor();
    QVERIFY(editor);
    QCOMPARE(Shared().NameLength, 30); // the count lives on into the next cycle

    // Cancel lays the editor out for the 20-character prompt with a count of 30: the cells
    // beyond the prompt stay empty and nothing else is read.
    Click(editor->cmdNew);
    Click(editor->cmdReset);
    QCOMPARE(QByteArray::fromStdString(Shared().TagText), QByteArray("^7") + Prompt.toLatin1());
    QVERIFY(frmMain::isOpen());
}

void frmMainTest::closingTheEditorEndsTheProgram() {
    GameInstall install("^1Ro^7ok");
    frmMain* editor = StartCycle();
    QVERIFY(editor);
    Click(editor->cmdNew);

    QTimer watchdog; // only fires when the program failed to end
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    // As the window's close button does it.
    QTimer::singleShot(0, editor, [editor] { editor->windowHandle()->close(); });

    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!AnyWindowLeft());
    QVERIFY(Shared().QuitRequested);
    QCOMPARE(FileBytes(install.codCfg), QByteArray::fromStdString(ConfigWithName("^1Ro^7ok")));
}

void frmMainTest::handOverKeepsTheProgramRunning() {
    GameInstall install("^1Ro^7ok");
    QVERIFY(StartCycle());

    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    bool runningAfterCancel = false;
    bool runningAfterSave = false;
    // Plain clicks: a simulated mouse would run the queued steps below from inside this one.
    QTimer::singleShot(0, [] { WithEditor([](frmMain& editor) { editor.cmdReset->click(); }); });
    QTimer::singleShot(0, [&] {
        runningAfterCancel = frmMain::isOpen();
        WithEditor([](frmMain& editor) { editor.cmdLoad->click(); });
        WithEditor([](frmMain& editor) { editor.cmdSave->click(); });
    });
    QTimer::singleShot(0, [&] {
        runningAfterSave = frmMain::isOpen();
        frmMain::closeIfOpen();
    });

    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(runningAfterCancel);
    QVERIFY(runningAfterSave);
    QVERIFY(!AnyWindowLeft());
}

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
