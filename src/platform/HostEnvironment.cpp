// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HostEnvironment.h"

#include <cstdlib>

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
