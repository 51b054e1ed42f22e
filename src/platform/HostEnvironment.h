// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// What the host tells about the user, one source per platform.

// The user's home folder: $HOME, else (on POSIX systems) the user database's entry; empty when
// neither knows it.
std::string HomeFolder();
