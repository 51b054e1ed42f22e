#pragma once

#include <QString>
#include <string>

// The program's one message path: a modal critical message box titled "Error:" with an OK
// button. Returns when the user has closed it. Two-line messages join their lines with one LF.
void ShowError(const QString& text);
void ShowError(const std::string& utf8Text);
