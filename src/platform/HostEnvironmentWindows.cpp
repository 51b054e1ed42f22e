// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostEnvironment.h"

#include <cstdlib>

// Only $HOME names one: Windows keeps no home folder in that sense.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
}
