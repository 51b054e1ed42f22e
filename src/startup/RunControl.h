// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program ends exactly when no window is left. Qt's quit-on-last-window-closed is off: during
// the Save/Cancel hand-over no window is open for a moment, although the next is about to be.

// True while the editor or the game dialog exists (shown or hidden).
bool AnyWindowLeft();

// Ends the event loop, with ExitStatus(), when no window is left. Called where a cycle can end:
// after the user closed the editor, and after Main returned inside Save or Cancel.
void EndIfNoWindowLeft();

// 1 when a cycle ended with an error message, else 0.
int ExitStatus();
