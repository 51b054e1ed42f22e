// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmGames.h"

#include "startup/Games.h"
#include "startup/SharedState.h"
#include "ui/EnterClicks.h"
#include "ui/Picture.h"
#include "ui/Twips.h"
#include "ui/WindowLook.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

const QColor DialogBackground(64, 0, 0);
const QColor PromptText(224, 224, 224);

// The pictures carry the game's name, so the buttons need a plain black face around them and a
// frame that still shows focus, hover and press.
const QString PictureButtonStyle = QStringLiteral(
    "QPushButton { background-color: #000000; border: 2px solid #4a1010; border-radius: 4px; }"
    "QPushButton:hover { border-color: #a04040; }"
    "QPushButton:focus { border-color: #e0e0e0; }"
    "QPushButton:pressed { background-color: #202020; }");

QPushButton* MakePictureButton(QWidget* parent, const char* name, const QString& gameName,
                               const QString& picture, QSize pictureSize, QRect box) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(box);
    button->setIcon(QIcon(Picture(picture)));
    button->setIconSize(pictureSize);
    button->setAccessibleName(gameName);
    button->setStyleSheet(PictureButtonStyle);
    // Neither is the default button: Enter chooses only the game whose button has the focus,
    // and Escape chooses none.
    button->setAutoDefault(false);
    button->setDefault(false);
    ClickOnEnter(*button);
    return button;
}

} // namespace

frmGames::frmGames()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmGames"));
    setModal(true);
    setFixedSize(TwipsToPixels(7680), TwipsToPixels(4185));
    setWindowIcon(QIcon(Picture(QStringLiteral(":/art/icon.png"))));
    SetBackgroundColor(*this, DialogBackground);
    createControls();
    setTabOrder(cmdCODUO, cmdCOD);
    connect(cmdCOD, &QPushButton::clicked, this, &frmGames::cmdCOD_Click);
    connect(cmdCODUO, &QPushButton::clicked, this, &frmGames::cmdCODUO_Click);
}

// Creation order is stacking order, back to front.
void frmGames::createControls() {
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(TwipsRect(-120, 0, 8700, 4200));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(Picture(QStringLiteral(":/art/games_background.png")));

    lblSelect = new QLabel(QStringLiteral("Select Your Game for change"), this);
    lblSelect->setObjectName(QStringLiteral("lblSelect"));
    lblSelect->setGeometry(TwipsRect(120, 240, 7455, 615));
    lblSelect->setFont(CourierNew(12, true));
    lblSelect->setTextFormat(Qt::PlainText);
    lblSelect->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    SetTextColor(*lblSelect, PromptText);

    cmdCOD = MakePictureButton(this, "cmdCOD", QStringLiteral("Call of Duty"),
                               QStringLiteral(":/art/button_cod.png"), QSize(248, 58),
                               TwipsRect(1680, 840, 4335, 1095));
    cmdCODUO = MakePictureButton(this, "cmdCODUO", QStringLiteral("Call of Duty United Offensive"),
                                 QStringLiteral(":/art/button_coduo.png"), QSize(255, 88),
                                 TwipsRect(1680, 2160, 4335, 1695));
}

void frmGames::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Space right away chooses United Offensive.
    cmdCODUO->setFocus(Qt::ActiveWindowFocusReason);
}

void frmGames::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        event->accept(); // Escape does nothing here; only the close button ends the program
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmGames::cmdCOD_Click() {
    ChooseGame(CallOfDuty);
    hide();
}

void frmGames::cmdCODUO_Click() {
    ChooseGame(UnitedOffensive);
    hide();
}

// Closing, for whatever reason, is never refused and tells the cycle to end. The dialog is
// deleted once control is back in the event loop, and the next use creates it afresh.
void frmGames::closeEvent(QCloseEvent* event) {
    Shared().QuitRequested = true;
    QDialog::closeEvent(event); // ends a modal show
    event->accept();

    releaseAfterClose(this);
}
