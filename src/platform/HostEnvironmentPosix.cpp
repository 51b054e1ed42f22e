// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostEnvironment.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return {};
}
