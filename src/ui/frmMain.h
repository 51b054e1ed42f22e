// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/SingleWindow.h"

#include <QWidget>
#include <array>

class ClickLabel;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionMark;

// The editor window. Control names and arrays are those of the layout; arrays are indexed as
// they are numbered (lblZnak[1] to lblZnak[30], lblBarva[0] to lblBarva[9]); unused slots are null.
// The arrays are filled when the editor first lays out a name (Reset), and are null until then.
class frmMain : public QWidget, public SingleWindow<frmMain> {
    Q_OBJECT

public:
    QLineEdit* editJmeno = nullptr;
    QLabel* lblCode = nullptr;
    QLineEdit* editJmenoTag = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdLoad = nullptr;
    QLabel* lblGameCesta = nullptr;
    QLineEdit* editGameCesta = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdSave = nullptr;
    ClickLabel* Plocha = nullptr;

    static constexpr int CellCount = 30;
    static constexpr int SwatchCount = 10;
    static constexpr int ShownSwatchCount = 8; // swatches 8 and 9 only lend their colours

    std::array<ClickLabel*, CellCount + 1> lblZnak{};   // character cells, 1 to 30
    std::array<SelectionMark*, CellCount + 1> Kurzor{}; // selection marks, 1 to 30
    std::array<ClickLabel*, SwatchCount> lblBarva{};    // colour swatches, 0 to 9
    std::array<QLabel*, SwatchCount> lblCislo{};        // digit captions, 0 to 9

    // Lays the editor out for the name in editJmeno and NameLength and shows (true) or hides
    // (false) its controls.
    void Reset(bool show);
    // Rebuilds the colour-coded name from the cells and NameColors into TagText and editJmenoTag.
    void VytvorTag();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SingleWindow<frmMain>;
    frmMain();

    void createControls();
    void createNameRowAndPalette();
    void placeBeneathBoxesAndButtons(QWidget& label);
    void createCells();
    void createSwatches();
    void createSingleControls();
    void setFocusOrder();
    void connectHandlers();

    void cmdNew_Click();
    void cmdLoad_Click();
    void cmdSave_Click();
    void cmdReset_Click();
    void lblZnak_Click(int index);
    void lblBarva_Click(int index);
    void lblZnak_MouseMove(int index);
    void lblBarva_MouseMove(int index);
    void Plocha_MouseMove();
    void editJmeno_KeyPress(int key);
    void editJmeno_MouseDown();

    // Closes this window and starts the next edit cycle (Save and Cancel).
    void handOverToNextCycle();
    QColor screenColorOf(int colorIndex) const;

    bool m_handingOver = false;
};
