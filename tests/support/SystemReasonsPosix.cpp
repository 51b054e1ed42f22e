// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SystemReasons.h"

namespace reason {

std::string FileNotFound() {
    return "No such file or directory";
}
std::string FolderNotFound() {
    return "No such file or directory";
}
std::string IsAFolder() {
    return "Is a directory";
}
std::string FileTooLarge() {
    return "File too large";
}
std::string WriteStalled() {
    return "Input/output error";
}
std::string AccessDenied() {
    return "Permission denied";
}

} // namespace reason
