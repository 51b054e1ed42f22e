// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// How this platform words the reasons the host file layer gives for the failures the tests
// provoke (one source per platform). Reasons the write hook injects are C error texts
// (strerror) everywhere and need no entry here.
namespace reason {

std::string FileNotFound();   // nothing at the path
std::string FolderNotFound(); // a folder on the way is missing
std::string IsAFolder();      // a folder where a file is expected
std::string FileTooLarge();   // larger than the reader takes
std::string WriteStalled();   // a write that makes no progress
std::string AccessDenied();   // a file the user may not write

} // namespace reason
