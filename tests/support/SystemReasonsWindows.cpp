// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SystemReasons.h"

#include <windows.h>

namespace {

// The system's own text for an error code, as the file layer quotes it: Windows and Wine word
// these differently (and Wine has no words for some), so the tests take the text from the system
// they run on.
std::string SystemText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message =
        length > 0 ? std::string(text, length) : "System error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

} // namespace

namespace reason {

std::string FileNotFound() {
    return SystemText(ERROR_FILE_NOT_FOUND);
}
std::string FolderNotFound() {
    return SystemText(ERROR_PATH_NOT_FOUND);
}
std::string IsAFolder() {
    return "It is a folder, not a file";
}
std::string FileTooLarge() {
    return "File too large";
}
std::string WriteStalled() {
    return SystemText(ERROR_WRITE_FAULT);
}
std::string AccessDenied() {
    return SystemText(ERROR_ACCESS_DENIED);
}

} // namespace reason
