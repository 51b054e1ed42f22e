// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowChild.h"

#include "PeakMemory.h"
#include "startup/Main.h"
#include "ui/Modal.h"
#include "ui/Twips.h"
#include "ui/frmGames.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

// The editor's client area, 7680 x 4185 twips: the bare window gets the same backing store.
constexpr int EditorWidthTwips = 7680;
constexpr int EditorHeightTwips = 4185;

constexpr int ShowTimeoutMs = 30000;

[[noreturn]] void EditorDidNotOpen() {
    const QString messages = Modal::messagesShown().join(QStringLiteral(" / "));
    throw std::runtime_error("the editor did not open: " + (messages.isEmpty()
                                                                ? std::string("no message shown")
                                                                : messages.toStdString()));
}

// Starts the program as its own main() does. With both games installed the game dialog comes
// first; it is answered through the modal seam (choosing Call of Duty) instead of a click.
QWidget& StartEditor(bool expectDialog) {
    QGuiApplication::setDesktopFileName(QStringLiteral("tintwell"));
    Modal::answerForTests();
    if (expectDialog)
        Modal::setNextAnswer(
            [](QDialog& dialog) { static_cast<frmGames&>(dialog).cmdCOD->click(); });
    Main();
    if (!frmMain::isOpen() || !frmMain::instance().isVisible())
        EditorDidNotOpen();
    // The dialog stays, hidden, once it was answered.
    if (frmGames::isOpen() != expectDialog || Modal::pendingAnswers() != 0)
        throw std::runtime_error(expectDialog ? "the game dialog was not answered"
                                              : "the game dialog was shown");
    return frmMain::instance();
}

QWidget& StartPlainWindow(std::unique_ptr<QWidget>& owner) {
    owner = std::make_unique<QWidget>();
    owner->setWindowTitle(QStringLiteral("Tintwell benchmark"));
    owner->resize(TwipsToPixels(EditorWidthTwips), TwipsToPixels(EditorHeightTwips));
    owner->show();
    return *owner;
}

// A window with no text never loads a font, which any window with a word on it must: the
// bare window's process measures one word first, so that both starts pay that one-time cost.
QWidget& StartBareWindow(std::unique_ptr<QWidget>& owner) {
    (void)QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("Tintwell"));
    return StartPlainWindow(owner);
}

QWidget& Start(WindowKind kind, std::unique_ptr<QWidget>& plainWindow) {
    switch (kind) {
    case WindowKind::Editor:
        return StartEditor(false);
    case WindowKind::EditorAfterDialog:
        return StartEditor(true);
    case WindowKind::EditorFromHome:
    case WindowKind::EditorAmongPrefixes:
    case WindowKind::EditorBesideSteam:
        return StartEditor(false);
    case WindowKind::BareWindow:
        return StartBareWindow(plainWindow);
    case WindowKind::BlankWindow:
        break;
    }
    return StartPlainWindow(plainWindow);
}

// A widget window is painted while its first expose event is handled, so once the window
// reports itself exposed the user would see it. A window that never comes ends the process.
void WaitUntilExposed(const QWidget& window) {
    QTimer::singleShot(ShowTimeoutMs, [] {
        std::printf("%.*s the window was not shown within %d s\n",
                    static_cast<int>(ErrorKey.size()), ErrorKey.data(), ShowTimeoutMs / 1000);
        std::fflush(stdout);
        std::_Exit(1);
    });
    auto exposed = [&window] {
        const QWindow* handle = window.windowHandle();
        return handle && handle->isExposed();
    };
    while (!exposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void Report(std::string_view key, long long value) {
    std::printf("%.*s %lld\n", static_cast<int>(key.size()), key.data(), value);
}

} // namespace

std::string_view WindowKindName(WindowKind kind) {
    switch (kind) {
    case WindowKind::Editor:
        return "editor";
    case WindowKind::EditorAfterDialog:
        return "dialog-editor";
    case WindowKind::EditorFromHome:
        return "home-editor";
    case WindowKind::EditorAmongPrefixes:
        return "prefixes-editor";
    case WindowKind::EditorBesideSteam:
        return "steam-editor";
    case WindowKind::BareWindow:
        return "bare";
    case WindowKind::BlankWindow:
        break;
    }
    return "blank";
}

std::optional<WindowKind> WindowKindNamed(std::string_view name) {
    for (WindowKind kind : AllWindowKinds) {
        if (name == WindowKindName(kind))
            return kind;
    }
    return std::nullopt;
}

WindowReport ParseWindowReport(std::string_view text) {
    WindowReport report;
    auto number = [](std::string_view value) -> std::optional<long long> {
        long long result = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), result);
        if (error != std::errc{} || end != value.data() + value.size())
            return std::nullopt;
        return result;
    };
    while (!text.empty()) {
        const std::size_t lineEnd = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, lineEnd);
        text.remove_prefix(std::min(lineEnd + 1, text.size()));
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, space);
        const std::string_view value = line.substr(space + 1);
        if (key == ShownKey)
            report.shownNs = number(value);
        else if (key == PeakKey)
            report.peakKiB = number(value);
        else if (key == ErrorKey)
            report.error = std::string(value);
    }
    return report;
}

int RunWindowProcess(WindowKind kind, int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<QWidget> plainWindow;
    try {
        QWidget& window = Start(kind, plainWindow);
        WaitUntilExposed(window);
        const auto shown = std::chrono::steady_clock::now().time_since_epoch();
        Report(ShownKey, std::chrono::duration_cast<std::chrono::nanoseconds>(shown).count());
        Report(PeakKey, OwnPeakResidentKiB());
    } catch (const std::exception& error) {
        std::printf("%.*s %s\n", static_cast<int>(ErrorKey.size()), ErrorKey.data(), error.what());
        std::fflush(stdout);
        return 1;
    }
    std::fflush(stdout);
    // The measurement is taken: the process ends here, without taking Qt down, which would only
    // cost time, and which a leak checker in a sanitized build would judge as the program's own.
    std::_Exit(0);
}
