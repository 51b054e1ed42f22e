// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RunningPrograms.h"
#include "platform/UnicodeText.h"

#include <windows.h>
// After <windows.h>, whose types it uses.
#include <tlhelp32.h>

std::vector<CommandLine> SystemCommandLines(const std::string& /*procRoot*/) {
    std::vector<CommandLine> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL found = Process32FirstW(snapshot, &entry); found;
         found = Process32NextW(snapshot, &entry)) {
        const std::u16string name(reinterpret_cast<const char16_t*>(entry.szExeFile));
        processes.push_back(CommandLine{Utf16ToUtf8(name)});
    }
    CloseHandle(snapshot);
    return processes;
}
