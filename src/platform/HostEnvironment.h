// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// What the host tells about the user, one source per platform.

// The environment variable's value; empty when it is not set (callers treat both alike).
std::string EnvOrEmpty(const char* name);

// The user's home folder: $HOME, else (on POSIX systems) the user database's entry; empty when
// neither knows it.
std::string HomeFolder();
