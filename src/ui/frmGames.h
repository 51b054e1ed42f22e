#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The game selection dialog: two picture buttons, one per game. A button records its game in the
// shared state and hides the dialog; closing the dialog sets QuitRequested.
class frmGames : public QDialog {
    Q_OBJECT

public:
    // The dialog of this run: created on first use, and created afresh after it was closed.
    static frmGames& Instance();
    static bool IsOpen(); // exists, shown or hidden
    static void CloseIfOpen();

    QLabel* lblSelect = nullptr;
    QPushButton* cmdCOD = nullptr;
    QPushButton* cmdCODUO = nullptr;
    QLabel* Image1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmGames();

    void CreateControls();

    void cmdCOD_Click();
    void cmdCODUO_Click();
};
