// SPDX-License-Identifier: GPL-3.0-or-later
// Save in the editor when the file cannot be written, or must not be while the game runs: the
// user gets one message, the file stays byte for byte as it was with no temporary file beside it,
// and the editor stays exactly as it was, so that nothing the user did is lost and Save can be
// tried again.

#include "UiTestSupport.h"
#include "gameconfig/CfgFile.h"
#include "platform/HostFiles.h"
#include "platform/RunningPrograms.h"
#include "startup/Main.h"
#include "support/FileSystemUser.h"
#include "support/SmallDisk.h"
#include "support/SystemReasons.h"
#include "support/TestPrefix.h"
#include "support/WriteFaults.h"
#include "ui/ClickLabel.h"
#include "ui/SelectionMark.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

enum class Fault {
    DiskFullThroughTheSeam,
    DiskFullForReal,
    ReadOnlyFile,
    ReadOnlyFolder,
    FileReplacedByAFolder,
    FolderRemoved,
    LargeFileDiskFull,
    RewrittenByTheGame,
    GameRunning,
};

// A config file of about `size` bytes, as a game with many bindings writes it.
std::string ConfigOfAbout(std::size_t size, const std::string& rawName) {
    std::string content = ConfigWithName(rawName);
    for (int i = 0; content.size() < size; ++i)
        content += "bind KP_" + std::to_string(i) + " \"say ^3line " + std::to_string(i) + "\"\n";
    return content;
}

// Everything the user sees of the editor and everything Save works from.
struct EditorState {
    QStringList shownControls;
    QString code;
    QString cells;
    QList<QColor> cellColors;
    QList<int> nameColors;
    QList<int> selectedCells;
    QString path;
    QPoint position;
    std::string cfgContent;

    static EditorState of(const frmMain& editor) {
        EditorState state;
        state.shownControls = ShownControls(editor);
        state.code = editor.editJmenoTag->text();
        for (int i = 1; i <= Shared().NameLength; ++i) {
            state.cells += editor.lblZnak[i]->text();
            state.cellColors << TextColorOf(*editor.lblZnak[i]);
            state.nameColors << Shared().NameColors[i];
        }
        for (int i = 1; i <= frmMain::CellCount; ++i) {
            if (!editor.Kurzor[i]->isHidden())
                state.selectedCells << i;
        }
        state.path = editor.editGameCesta->text();
        state.position = editor.pos();
        state.cfgContent = Shared().CfgContent;
        return state;
    }
};

void CompareStates(const EditorState& actual, const EditorState& expected) {
    QCOMPARE(actual.shownControls, expected.shownControls);
    QCOMPARE(actual.code, expected.code);
    QCOMPARE(actual.cells, expected.cells);
    QCOMPARE(actual.cellColors, expected.cellColors);
    QCOMPARE(actual.nameColors, expected.nameColors);
    QCOMPARE(actual.selectedCells, expected.selectedCells);
    QCOMPARE(actual.path, expected.path);
    QCOMPARE(actual.position, expected.position);
    QVERIFY(actual.cfgContent == expected.cfgContent);
}

// What stays in force while Save runs.
struct InjectedFault {
    std::unique_ptr<ScopedWriteHook> hook;
    std::unique_ptr<FileSystemUser> user;
    std::unique_ptr<ScopedRunningCommandLines> processes;
};

} // namespace

Q_DECLARE_METATYPE(Fault)

class SaveFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWindowTests(); }
    void cleanup() { StartAfresh(); }

    void faultLeavesFileAndEditorAsTheyWere_data();
    void faultLeavesFileAndEditorAsTheyWere();
    void saveThroughALinkChangesItsTargetAndKeepsTheLink();
    void largeFileIsSavedByteForByte();
};

void SaveFaultsTest::faultLeavesFileAndEditorAsTheyWere_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full halfway, through the write seam")
        << Fault::DiskFullThroughTheSeam << "No space left on device";
    QTest::newRow("disk full halfway, a real small disk")
        << Fault::DiskFullForReal << "No space left on device";
    const QString accessDenied = QString::fromStdString(reason::AccessDenied());
    QTest::newRow("read-only file") << Fault::ReadOnlyFile << accessDenied;
    QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << accessDenied;
    QTest::newRow("file replaced by a folder")
        << Fault::FileReplacedByAFolder << QString::fromStdString(reason::IsAFolder());
    QTest::newRow("folder removed")
        << Fault::FolderRemoved << QString::fromStdString(reason::FolderNotFound());
    QTest::newRow("64 MiB file, disk full halfway")
        << Fault::LargeFileDiskFull << "No space left on device";
    QTest::newRow("rewritten by the game since it was read")
        << Fault::RewrittenByTheGame << QString(ChangedSinceRead);
    QTest::newRow("the game is running")
        << Fault::GameRunning
        << "Call of Duty is running. It writes its config file when it quits and would put the old "
           "name back: quit the game, then click Save to CFG again.";
}

void SaveFaultsTest::faultLeavesFileAndEditorAsTheyWere() {
    QFETCH(Fault, fault);
    QFETCH(QString, reason);
    const std::size_t size = fault == Fault::LargeFileDiskFull ? std::size_t{64} << 20 : 100000;
    const std::string original = ConfigOfAbout(size, "^1Ro^7ok");
    GameInstall install("^1Ro^7ok");
    const fs::path folder = install.codCfg.parent_path();
    std::unique_ptr<SmallDisk> disk;
    if (fault == Fault::DiskFullForReal) {
        disk = std::make_unique<SmallDisk>(folder, SmallDisk::roomForOneAndAHalf(original.size()));
        if (!disk->mounted())
            QSKIP(qPrintable(QString::fromStdString(disk->whyNot())));
    }
    WriteBytes(install.codCfg, original);

    Main();
    QVERIFY(frmMain::isOpen());
    QPointer<frmMain> editor = &frmMain::instance();
    Click(editor->cmdLoad);
    Click(editor->lblZnak[2]);
    Click(editor->lblBarva[3]);
    Click(editor->lblZnak[4]);
    const EditorState before = EditorState::of(*editor);
    QCOMPARE(before.selectedCells, QList<int>{4});

    const std::string rewritten = original + "seta sensitivity \"3\"\n";
    InjectedFault injected;
    switch (fault) {
    case Fault::DiskFullThroughTheSeam:
    case Fault::LargeFileDiskFull:
        injected.hook = FailWritesFrom(original.size() / 2, ENOSPC);
        break;
    case Fault::DiskFullForReal:
        break;
    case Fault::ReadOnlyFile:
        fs::permissions(folder, fs::perms::all);
        fs::permissions(install.codCfg,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        injected.user = std::make_unique<FileSystemUser>();
        break;
    case Fault::ReadOnlyFolder:
#if defined(_WIN32)
        QSKIP("a folder's read-only attribute stops no writes on Windows");
#endif
        fs::permissions(install.codCfg, fs::perms::all);
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
        injected.user = std::make_unique<FileSystemUser>();
        break;
    case Fault::FileReplacedByAFolder:
        fs::remove(install.codCfg);
        fs::create_directory(install.codCfg);
        break;
    case Fault::FolderRemoved:
        fs::remove_all(folder);
        break;
    case Fault::RewrittenByTheGame:
        WriteBytes(install.codCfg, rewritten);
        break;
    case Fault::GameRunning:
        injected.processes = std::make_unique<ScopedRunningCommandLines>(std::vector<CommandLine>{
            {"C:\\Games\\Call of Duty\\CoDUOMP.exe"}, {"C:\\Games\\Call of Duty\\CoDMP.exe"}});
        break;
    }
    if (injected.user && !injected.user->whyNot().empty())
        QSKIP(qPrintable(QString::fromStdString(injected.user->whyNot())));
    const std::set<std::string> listing =
        fs::exists(folder) ? Listing(folder) : std::set<std::string>{};

    Click(editor->cmdSave);
    injected = {};

    const QString message = fault == Fault::GameRunning
                                ? reason
                                : "CFG file (" + before.path + ") could not be written.\n" + reason;
    QCOMPARE(Modal::messagesShown(), QStringList{message});
    if (fault == Fault::FolderRemoved) {
        QVERIFY2(!fs::exists(folder), "the folder was made again");
    } else if (fault == Fault::FileReplacedByAFolder) {
        QVERIFY(fs::is_directory(install.codCfg));
        QVERIFY(fs::is_empty(install.codCfg));
        QVERIFY2(Listing(folder) == listing, "a temporary file was left behind");
    } else if (fault == Fault::RewrittenByTheGame) {
        QVERIFY2(ReadBytes(install.codCfg) == rewritten, "what the game wrote was lost");
        QVERIFY2(Listing(folder) == listing, "a temporary file was left behind");
    } else {
        QVERIFY2(ReadBytes(install.codCfg) == original, "the file changed");
        QVERIFY2(Listing(folder) == listing, "a temporary file was left behind");
    }

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(editor, "the editor was closed");
    QCOMPARE(&frmMain::instance(), editor.data());
    QVERIFY(editor->isVisible());
    QVERIFY(!Shared().QuitRequested);
    CompareStates(EditorState::of(*editor), before);
}

void SaveFaultsTest::saveThroughALinkChangesItsTargetAndKeepsTheLink() {
#if defined(_WIN32)
    QSKIP("symbolic links take a right on Windows that players do not have");
#endif
    GameInstall install("^1Ro^7ok");
    const std::string original = ReadBytes(install.codCfg);
    const fs::path elsewhere = install.prefix.dir() / "shared-configs" / "config_mp.cfg";
    WriteBytes(elsewhere, original);
    fs::remove(install.codCfg);
    fs::create_symlink(elsewhere, install.codCfg);

    Main();
    QVERIFY(frmMain::isOpen());
    Click(frmMain::instance().cmdLoad);
    Click(frmMain::instance().lblBarva[5]); // nothing selected: the code is rebuilt as it is
    frmMain::instance().editJmenoTag->setText("^5Linked");
    Click(frmMain::instance().cmdSave);

    QCOMPARE(Modal::messagesShown(), QStringList{});
    QVERIFY(fs::is_symlink(install.codCfg));
    QVERIFY(fs::read_symlink(install.codCfg) == elsewhere);
    QCOMPARE(FileBytes(elsewhere), QByteArray::fromStdString(ConfigWithName("^5Linked")));
    QVERIFY(Listing(elsewhere.parent_path()) == std::set<std::string>{"config_mp.cfg"});
    // The next cycle reads the name back through the link.
    QCOMPARE(QByteArray::fromStdString(Shared().RawName), QByteArray("^5Linked"));
}

void SaveFaultsTest::largeFileIsSavedByteForByte() {
    const std::string original = ConfigOfAbout(std::size_t{64} << 20, "^1Ro^7ok");
    GameInstall install("^1Ro^7ok");
    WriteBytes(install.codCfg, original);

    Main();
    QVERIFY(frmMain::isOpen());
    Click(frmMain::instance().cmdLoad);
    Click(frmMain::instance().lblZnak[1]);
    Click(frmMain::instance().lblBarva[2]);
    QCOMPARE(frmMain::instance().editJmenoTag->text(), QStringLiteral("^2R^1o^7ok"));
    Click(frmMain::instance().cmdSave);

    QCOMPARE(Modal::messagesShown(), QStringList{});
    std::string expected = original;
    expected.replace(expected.find("^1Ro^7ok"), 8, "^2R^1o^7ok");
    QVERIFY2(ReadBytes(install.codCfg) == expected, "not the old file with the new name");
    QVERIFY(Listing(install.codCfg.parent_path()) == std::set<std::string>{"config_mp.cfg"});
    QCOMPARE(QByteArray::fromStdString(Shared().RawName), QByteArray("^2R^1o^7ok"));
}

// Like QTEST_MAIN, but the process first takes a mount namespace of its own, which only a process
// with a single thread may do, so that a test can mount a small disk.
int main(int argc, char** argv) {
    // Where this fails, SmallDisk says why and the test that needs it is skipped.
    (void)EnterPrivateMountNamespace();
    QApplication app(argc, argv);
    SaveFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SaveFaultsTest.moc"
