// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SingleWindow.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The game selection dialog: two picture buttons, one per game. A button records its game in the
// shared state and hides the dialog; closing the dialog sets QuitRequested.
class frmGames : public QDialog, public SingleWindow<frmGames> {
    Q_OBJECT

public:
    QLabel* lblSelect = nullptr;
    QPushButton* cmdCOD = nullptr;
    QPushButton* cmdCODUO = nullptr;
    QLabel* Image1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class SingleWindow<frmGames>;
    frmGames();

    void createControls();

    void cmdCOD_Click();
    void cmdCODUO_Click();
};
