// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The programs whose start-up the benchmark compares. Each runs in a process of its own (the
// benchmark starting itself again), so that everything a start costs counts: loading the
// libraries, Qt's platform, fonts.
enum class WindowKind {
    Editor,              // Tintwell with only Call of Duty installed: straight to the editor
    EditorAfterDialog,   // Tintwell with both games: the game dialog, answered at once, then the
                         // editor
    EditorFromHome,      // the editor on the sample in ~/.wine, with no $WINEPREFIX
    EditorAmongPrefixes, // the same, with launchers' prefixes that do not hold the game beside it
    EditorBesideSteam,   // the same, with a Steam installation whose prefixes are other games'
    BareWindow,  // a plain Qt window of the editor's size, in a process that has loaded a font
    BlankWindow, // the same window in a process that never loads a font
};

inline constexpr WindowKind AllWindowKinds[] = {WindowKind::Editor,
                                                WindowKind::EditorAfterDialog,
                                                WindowKind::EditorFromHome,
                                                WindowKind::EditorAmongPrefixes,
                                                WindowKind::EditorBesideSteam,
                                                WindowKind::BareWindow,
                                                WindowKind::BlankWindow};

// "editor", "dialog-editor", "home-editor", "prefixes-editor", "steam-editor", "bare", "blank"
std::string_view WindowKindName(WindowKind kind);
std::optional<WindowKind> WindowKindNamed(std::string_view name);

// What a window process writes to its standard output, one "key value" pair a line: when its
// window was first shown (steady clock, nanoseconds) and its peak resident memory in KiB.
// A process that fails writes "error <text>" instead.
inline constexpr std::string_view ShownKey = "shown_ns";
inline constexpr std::string_view PeakKey = "peak_kib";
inline constexpr std::string_view ErrorKey = "error";

// A window process's report as read back; a value the report lacks or garbles stays empty.
struct WindowReport {
    std::optional<long long> shownNs;
    std::optional<long long> peakKiB;
    std::optional<std::string> error;
};
WindowReport ParseWindowReport(std::string_view text);

// The body of a window process: starts the program of `kind`, waits until its window is shown on
// the screen (painted once), reports as above and ends the process. The editor kinds look for the
// game as the program does. Returns (an exit code) only when it fails.
int RunWindowProcess(WindowKind kind, int argc, char* argv[]);
