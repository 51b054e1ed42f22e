// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>

// The program's one message path: a modal critical message box titled "Error:" with an OK
// button, over the window the user works in and never larger than its screen (ErrorBox).
// Returns when the user has closed it. Two-line messages join their lines with one LF.
void ShowError(const QString& text);
// A message from the core, whose paths and system reasons are in the host's 8-bit encoding
// (UTF-8 on Linux, the ANSI code page on Windows).
void ShowError(const std::string& text);
