// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include "gameconfig/NameSave.h"
#include "namecode/NameCode.h"
#include "startup/Main.h"
#include "startup/RunControl.h"
#include "startup/SharedState.h"
#include "ui/ClickLabel.h"
#include "ui/Cp1250.h"
#include "ui/EditorBackground.h"
#include "ui/EnterClicks.h"
#include "ui/Picture.h"
#include "ui/SelectionMark.h"
#include "ui/ShowError.h"
#include "ui/Twips.h"
#include "ui/WindowLook.h"
#include "ui/WindowPosition.h"
#include "ui/frmGames.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

namespace {

const QString NamePrompt = QStringLiteral("Type your name here!");

// The screen colour of each colour index: the background of swatch i.
const std::array<QColor, frmMain::SwatchCount> SwatchColors = {
    QColor(0, 0, 0),       QColor(192, 0, 0),     QColor(0, 128, 0),     QColor(255, 255, 0),
    QColor(0, 0, 192),     QColor(0, 255, 255),   QColor(255, 128, 255), QColor(255, 255, 255),
    QColor(128, 112, 255), QColor(255, 128, 128),
};

const QColor WindowBackground(64, 64, 0);
const QColor CellBackground(0, 0, 0);
const QColor CellInitialText(255, 255, 255);
const QColor SmallLabelText(192, 192, 192);
const QColor NameBoxText(255, 255, 255);
const QColor NameBoxField(0, 0, 0);
const QColor DisplayBoxText(128, 128, 128);
const QColor DisplayBoxField(64, 0, 0);

// The client area and the rows of controls, in twips.
constexpr int ClientWidth = 7680;
constexpr int ClientHeight = 4185;
constexpr int CellStep = 240; // cell i stands at Left 240 * i
constexpr int CellTop = 720;
constexpr int CellWidth = 225;
constexpr int CellHeight = 345;
constexpr int MarkHeight = 360; // one pixel taller than its cell, so the outline frames it
constexpr int SwatchFirstLeft = 2040;
constexpr int SwatchStep = 480;
constexpr int SwatchTop = 1560;
constexpr int SwatchSize = 375;
constexpr int DigitTop = 1920;
constexpr int DigitHeight = 255;

QString ControlName(const char* family, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(family)).arg(index);
}

// A name is typed into the name box: besides what Windows-1250 cannot hold, it refuses what the
// file's name entry cannot: a quote, which would end the value, and control characters; and a
// caret, which the game would read as a colour code, so that the name would not be what the
// cells show. (Colours come from the palette; the code box still takes carets.)
class NameBoxValidator final : public Cp1250Validator {
public:
    using Cp1250Validator::Cp1250Validator;

    State validate(QString& input, int& position) const override {
        const bool fitsTheEntry = std::none_of(input.begin(), input.end(), [](QChar c) {
            return c == QLatin1Char('"') || c == QLatin1Char('^') || c.unicode() < 32;
        });
        return fitsTheEntry ? Cp1250Validator::validate(input, position) : Invalid;
    }
};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect box) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(box);
    button->setFont(CourierNew(9.75, true));
    // No default button: Enter clicks only the button that has the focus.
    button->setAutoDefault(false);
    button->setDefault(false);
    ClickOnEnter(*button);
    return button;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name, QRect box, const QFont& font,
                       const QColor& text, const QColor& field) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(box);
    edit->setFont(font);
    edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetTextBoxColors(*edit, text, field);
    return edit;
}

QLabel* MakeSmallLabel(QWidget* parent, const char* name, const QString& caption, QRect box) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(box);
    label->setFont(CourierNew(8.25, false));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColor(*label, SmallLabelText);
    return label;
}

} // namespace

frmMain::frmMain()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmMain"));
    setFixedSize(TwipsToPixels(ClientWidth), TwipsToPixels(ClientHeight));
    setWindowIcon(QIcon(Picture(QStringLiteral(":/art/icon.png"))));
    SetBackgroundColor(*this, WindowBackground);
    createControls();
    setFocusOrder();
    connectHandlers();
}

// Creation order is stacking order, back to front: the background picture, then the text boxes
// and buttons. The labels of the name row and the palette come later (createNameRowAndPalette),
// beneath the boxes and buttons.
void frmMain::createControls() {
    Plocha = new ClickLabel(0, this);
    Plocha->setObjectName(QStringLiteral("Plocha"));
    Plocha->setGeometry(TwipsRect(-600, 0, 9000, 4200));
    // The background is drawn at the label's size, so the first paint has nothing to scale; the
    // label still stretches it, to the screen's pixels where a logical pixel is larger.
    Plocha->setPixmap(EditorBackground());
    Plocha->setScaledContents(true);

    createSingleControls();

    // Only the background shows until the start-up or the editor shows more.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != Plocha)
            child->setVisible(false);
    }
}

// The eighty labels of the name row and the palette are made when the editor first lays out a
// name: the start-up shows none of them, and making them is most of the window's own start-up
// work. Each goes beneath the boxes and buttons, above the labels made before it, hidden.
void frmMain::createNameRowAndPalette() {
    if (lblZnak[1])
        return;
    createSwatches();
    createCells();
    for (int i = 1; i <= CellCount; ++i) {
        connect(lblZnak[i], &ClickLabel::clicked, this, &frmMain::lblZnak_Click);
        connect(lblZnak[i], &ClickLabel::mouseMoved, this, &frmMain::lblZnak_MouseMove);
    }
    for (ClickLabel* swatch : lblBarva) {
        connect(swatch, &ClickLabel::clicked, this, &frmMain::lblBarva_Click);
        connect(swatch, &ClickLabel::mouseMoved, this, &frmMain::lblBarva_MouseMove);
    }
}

void frmMain::placeBeneathBoxesAndButtons(QWidget& label) {
    label.stackUnder(lblCode);
    label.setVisible(false);
}

void frmMain::createSwatches() {
    for (int i = 0; i < SwatchCount; ++i) {
        const int left = SwatchFirstLeft + SwatchStep * i;

        auto* digit = new QLabel(QString::number(i), this);
        digit->setObjectName(ControlName("lblCislo", i));
        digit->setGeometry(TwipsRect(left, DigitTop, SwatchSize, DigitHeight));
        digit->setFont(CourierNew(8.25, false));
        digit->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        SetTextColor(*digit, SmallLabelText);
        placeBeneathBoxesAndButtons(*digit);
        lblCislo[i] = digit;

        auto* swatch = new ClickLabel(i, this);
        swatch->setObjectName(ControlName("lblBarva", i));
        swatch->setGeometry(TwipsRect(left, SwatchTop, SwatchSize, SwatchSize));
        swatch->setToolTip(QStringLiteral("Click to change color for selected chars"));
        SetBackgroundColor(*swatch, SwatchColors[i]);
        placeBeneathBoxesAndButtons(*swatch);
        lblBarva[i] = swatch;
    }
}

void frmMain::createCells() {
    for (int i = 1; i <= CellCount; ++i) {
        auto* cell = new ClickLabel(i, this);
        cell->setObjectName(ControlName("lblZnak", i));
        cell->setGeometry(TwipsRect(CellStep * i, CellTop, CellWidth, CellHeight));
        cell->setFont(CourierNew(14.25, true));
        cell->setAlignment(Qt::AlignCenter);
        cell->setToolTip(QStringLiteral("Click to select/deselect char"));
        SetBackgroundColor(*cell, CellBackground);
        SetTextColor(*cell, CellInitialText);
        placeBeneathBoxesAndButtons(*cell);
        lblZnak[i] = cell;
    }
    for (int i = 1; i <= CellCount; ++i) {
        auto* mark = new SelectionMark(this);
        mark->setObjectName(ControlName("Kurzor", i));
        mark->setGeometry(TwipsRect(CellStep * i, CellTop, CellWidth, MarkHeight));
        placeBeneathBoxesAndButtons(*mark);
        Kurzor[i] = mark;
    }
}

void frmMain::createSingleControls() {
    lblCode =
        MakeSmallLabel(this, "lblCode", QStringLiteral("Code:"), TwipsRect(240, 2280, 735, 255));
    lblGameCesta = MakeSmallLabel(this, "lblGameCesta", QStringLiteral("CFG path:"),
                                  TwipsRect(240, 2880, 1335, 255));

    editJmeno = MakeTextBox(this, "editJmeno", TwipsRect(240, 240, 7215, 390), CourierNew(12, true),
                            NameBoxText, NameBoxField);
    editJmeno->setText(NamePrompt);
    editJmeno->setValidator(new NameBoxValidator(editJmeno));

    editJmenoTag = MakeTextBox(this, "editJmenoTag", TwipsRect(240, 2520, 7215, 360),
                               CourierNew(9, true), DisplayBoxText, DisplayBoxField);
    editJmenoTag->setValidator(new Cp1250Validator(editJmenoTag));

    editGameCesta = MakeTextBox(this, "editGameCesta", TwipsRect(240, 3120, 7215, 360),
                                CourierNew(9, true), DisplayBoxText, DisplayBoxField);

    cmdNew =
        MakeButton(this, "cmdNew", QStringLiteral("New name"), TwipsRect(1800, 2520, 1935, 495));
    cmdLoad = MakeButton(this, "cmdLoad", QStringLiteral("Use from CFG"),
                         TwipsRect(4080, 2520, 1935, 495));
    cmdReset =
        MakeButton(this, "cmdReset", QStringLiteral("Cancel"), TwipsRect(3240, 3600, 975, 375));
    cmdSave = MakeButton(this, "cmdSave", QStringLiteral("Save to CFG"),
                         TwipsRect(5520, 3600, 1935, 375));
}

void frmMain::setFocusOrder() {
    setTabOrder(editJmeno, editJmenoTag);
    setTabOrder(editJmenoTag, cmdReset);
    setTabOrder(cmdReset, cmdNew);
    setTabOrder(cmdNew, cmdLoad);
    setTabOrder(cmdLoad, cmdSave);
    setTabOrder(cmdSave, editGameCesta);
}

void frmMain::connectHandlers() {
    connect(cmdNew, &QPushButton::clicked, this, &frmMain::cmdNew_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmMain::cmdLoad_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmMain::cmdReset_Click);
    connect(Plocha, &ClickLabel::mouseMoved, this, &frmMain::Plocha_MouseMove);
    editJmeno->installEventFilter(this);
}

void frmMain::Reset(bool show) {
    createNameRowAndPalette();
    const SharedState& state = Shared();
    const QString name = editJmeno->text();

    cmdSave->setVisible(show);
    for (int i = 1; i <= CellCount; ++i) {
        Kurzor[i]->setVisible(false);
        if (i <= state.NameLength) {
            lblZnak[i]->setText(name.mid(i - 1, 1));
            lblZnak[i]->setVisible(show);
            SetTextColor(*lblZnak[i], screenColorOf(state.NameColors[i]));
        } else {
            lblZnak[i]->setVisible(false);
        }
    }
    for (int k = 0; k < ShownSwatchCount; ++k) {
        lblBarva[k]->setVisible(show);
        lblCislo[k]->setVisible(show);
    }
    VytvorTag();
    lblGameCesta->setVisible(show);
    editGameCesta->setVisible(show);
    editJmeno->setVisible(show);
    lblCode->setVisible(show);
    editJmenoTag->setVisible(show);
    cmdReset->setVisible(show);
}

void frmMain::VytvorTag() {
    createNameRowAndPalette();
    SharedState& state = Shared();
    std::string visible;
    for (int i = 1; i <= state.NameLength && i <= CellCount; ++i) {
        // Cells are filled from the name box, whose validator lets in Windows-1250 text only.
        visible += EncodeCp1250(lblZnak[i]->text()).value_or(std::string());
    }
    state.TagText = EncodeTag(visible, state.NameLength, state.NameColors);
    editJmenoTag->setText(DecodeCp1250(state.TagText));
}

void frmMain::cmdNew_Click() {
    SharedState& state = Shared();
    std::fill(state.NameColors.begin() + 1, state.NameColors.end(), DefaultColor);
    editGameCesta->setVisible(true);
    lblGameCesta->setVisible(true);
    cmdReset->setVisible(true);
    editJmeno->setVisible(true);
    cmdNew->setVisible(false);
    cmdLoad->setVisible(false);
    // Typing replaces the prompt; Enter right away still takes the prompt as the name.
    editJmeno->setFocus(Qt::OtherFocusReason);
    editJmeno->selectAll();
}

void frmMain::cmdLoad_Click() {
    SharedState& state = Shared();
    NameColorTable colors = state.NameColors;
    const std::string visible = DecodeName(state.RawName, colors);
    if (visible.size() > static_cast<std::size_t>(MaxNameLength)) {
        ShowError(QStringLiteral("Length of the name [%1 chars] from CFG file is over limit.\n"
                                 "Length limit: %2 chars.")
                      .arg(visible.size())
                      .arg(MaxNameLength));
        return;
    }
    state.NameColors = colors;
    editJmeno->setText(DecodeCp1250(visible));
    state.NameLength = static_cast<int>(editJmeno->text().size());
    Reset(true);
    cmdLoad->setVisible(false);
    cmdNew->setVisible(false);
    cmdSave->setVisible(true);
    editJmeno->setVisible(false);
    // The file's own text, not the rebuilt tag, until the first swatch click.
    editJmenoTag->setText(DecodeCp1250(state.RawName));
    editJmenoTag->setVisible(true);
    editGameCesta->setVisible(true);
    lblGameCesta->setVisible(true);
}

void frmMain::cmdSave_Click() {
    SharedState& state = Shared();
    const Game* game = GameWithRegKey(state.GameRegKey); // one of the two: ChooseGame set it
    const NameEntry entry{state.NamePos, state.NameEnd, state.RawName};
    if (const MaybeFailure failure =
            SaveNameCode(game ? *game : CallOfDuty, editJmenoTag->text().toStdU16String(),
                         state.CfgPath, state.CfgContent, entry)) {
        // Nothing was written: the editor stays as it is, so the user can try again or cancel.
        ShowError(failure->message);
        return;
    }
    Reset(false);
    handOverToNextCycle();
}

void frmMain::cmdReset_Click() {
    editJmeno->setEnabled(true);
    editJmeno->setText(NamePrompt);
    lblCode->setVisible(false);
    lblGameCesta->setVisible(false);
    editGameCesta->setVisible(false);
    cmdReset->setVisible(false);
    Reset(false);
    handOverToNextCycle();
}

void frmMain::lblZnak_Click(int index) {
    Kurzor[index]->setVisible(Kurzor[index]->isHidden());
}

void frmMain::lblBarva_Click(int index) {
    SharedState& state = Shared();
    for (int i = 1; i <= state.NameLength && i <= CellCount; ++i) {
        if (!Kurzor[i]->isHidden()) {
            SetTextColor(*lblZnak[i], BackgroundColorOf(*lblBarva[index]));
            state.NameColors[i] = static_cast<std::uint8_t>(index);
        }
        Kurzor[i]->setVisible(false);
    }
    VytvorTag();
}

void frmMain::lblZnak_MouseMove(int /*index*/) {
    setCursor(Qt::WhatsThisCursor);
}

void frmMain::lblBarva_MouseMove(int /*index*/) {
    setCursor(Qt::WhatsThisCursor);
}

void frmMain::Plocha_MouseMove() {
    unsetCursor();
}

void frmMain::editJmeno_KeyPress(int key) {
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || editJmeno->text().isEmpty())
        return;
    const qsizetype length = editJmeno->text().size();
    if (length > MaxNameLength) {
        ShowError(QStringLiteral("Max chars in name. Limit: %1").arg(MaxNameLength));
        return;
    }
    Shared().NameLength = static_cast<int>(length);
    Reset(true);
    editJmeno->setEnabled(false);
    cmdSave->setVisible(true);
}

void frmMain::editJmeno_MouseDown() {
    if (editJmeno->text() == NamePrompt)
        editJmeno->clear();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editJmeno) {
        // The box still gets every key and click as usual.
        if (event->type() == QEvent::KeyPress)
            editJmeno_KeyPress(static_cast<QKeyEvent*>(event)->key());
        else if (event->type() == QEvent::MouseButtonPress)
            editJmeno_MouseDown();
    }
    return QWidget::eventFilter(watched, event);
}

// Closing, for whatever reason: the hidden game dialog goes too and the cycle ends.
void frmMain::closeEvent(QCloseEvent* event) {
    frmGames::closeIfOpen();
    Shared().QuitRequested = true;
    event->accept();

    if (m_handingOver) {
        release(this); // handOverToNextCycle deletes it when the next cycle has run
        return;
    }
    releaseAfterClose(this);
    EndIfNoWindowLeft();
}

void frmMain::handOverToNextCycle() {
    StoreWindowPosition(*this);
    m_handingOver = true;
    close();
    Main();
    EndIfNoWindowLeft();
    // Only now: the next cycle runs event loops of its own (the game dialog, a message), and a
    // deletion asked for before them would happen inside them, while this handler still runs.
    deleteLater();
}

QColor frmMain::screenColorOf(int colorIndex) const {
    if (colorIndex < 0 || colorIndex >= SwatchCount)
        colorIndex = DefaultColor;
    return BackgroundColorOf(*lblBarva[colorIndex]);
}
