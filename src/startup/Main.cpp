// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Main.h"

#include "gameconfig/CfgFile.h"
#include "gameconfig/CfgLocation.h"
#include "gameconfig/Registry.h"
#include "platform/HostFiles.h"
#include "startup/Games.h"
#include "startup/SharedState.h"
#include "startup/Version.h"
#include "ui/Modal.h"
#include "ui/ShowError.h"
#include "ui/WindowLook.h"
#include "ui/WindowPosition.h"
#include "ui/frmGames.h"
#include "ui/frmMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

constexpr const char* AuthorCredit = "by the Tintwell team";
constexpr const char* NotInstalled = "Game is NOT instaled properly..";

std::string ComposeWindowTitle() {
    return "Tintwell (build: " + std::to_string(VersionMajor) + "." + std::to_string(VersionMinor) +
           std::to_string(VersionRevision) + ")   " + AuthorCredit;
}

// An empty text means the game is not installed.
std::string InstallFolderOf(const std::string& gameRegKey) {
    return RegValueText(QueryRegValue(RootKeyLocalMachine, gameRegKey, InstallPathValue));
}

void CloseAllWindows() {
    frmMain::closeIfOpen();
    frmGames::closeIfOpen();
}

// Ends the cycle with one message; no window is left, so the program ends.
void EndCycleWithError(const std::string& message) {
    Shared().CycleFailed = true;
    ShowError(message);
    CloseAllWindows();
}

// Asks which game to edit. False when the user closed the dialog instead.
bool AskForGame() {
    SharedState& state = Shared();
    QPointer<frmGames> dialog = &frmGames::instance();
    dialog->setWindowTitle(QString::fromStdString(state.WindowTitle));
    MoveToSavedPosition(*dialog);
    Modal::exec(*dialog);
    if (dialog) // a closed dialog may already be gone
        StoreWindowPosition(*dialog);
    return !state.QuitRequested;
}

// Reads the file at CfgPath and finds its name entry, or says why not.
bool ReadNameEntry() {
    SharedState& state = Shared();
    Outcome<std::string> content = ReadCfgFile(state.CfgPath);
    if (!content) {
        EndCycleWithError(content.failure().message);
        return false;
    }
    state.CfgContent = std::move(content).value();
    if (state.CfgContent.empty()) {
        EndCycleWithError("CFG file is corrupted.");
        return false;
    }
    Outcome<NameEntry> entry = LocateNameEntry(state.CfgContent);
    if (!entry) {
        EndCycleWithError(entry.failure().message);
        return false;
    }
    state.NamePos = entry.value().NamePos;
    state.NameEnd = entry.value().NameEnd;
    state.RawName = entry.value().RawName;
    return true;
}

void OpenEditor() {
    SharedState& state = Shared();
    frmMain& editor = frmMain::instance();
    editor.cmdNew->setVisible(true);
    editor.editJmeno->setVisible(false);
    editor.setWindowTitle(QString::fromStdString(state.WindowTitle));
    editor.cmdLoad->setVisible(true);
    const QString path = QFile::decodeName(QByteArray::fromStdString(state.CfgPath));
    editor.editGameCesta->setText(path);
    editor.editGameCesta->setToolTip(path); // the box shows only the end of a long path
    MoveToSavedPosition(editor);
    editor.show();
    StoreWindowPosition(editor);
}

} // namespace

void Main() {
    SharedState& state = Shared();
    state.QuitRequested = false;
    state.WindowTitle = ComposeWindowTitle();

    state.GameRegKey = UnitedOffensive.GameRegKey;
    state.CfgPath = InstallFolderOf(state.GameRegKey);
    if (!state.CfgPath.empty()) {
        if (!AskForGame()) {
            CloseAllWindows();
            return;
        }
    } else {
        ChooseGame(CallOfDuty);
    }

    const CfgLocation cfg = FindCfgFile(state.GameRegKey, state.GameSubDir + state.CfgFileName);
    if (cfg.installFolder.empty()) {
        EndCycleWithError(std::string(NotInstalled) + "\nRegistry error.");
        return;
    }
    state.CfgPath = cfg.path;
    if (!IsOrdinaryFile(state.CfgPath)) {
        EndCycleWithError(std::string(NotInstalled) + "\nCFG file (" + state.CfgPath +
                          ") NOT found.");
        return;
    }
    if (!ReadNameEntry())
        return;
    OpenEditor();
}

void AddBundledFonts() {
    AddFontsFromFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
}
