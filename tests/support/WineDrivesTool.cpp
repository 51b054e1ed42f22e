// SPDX-License-Identifier: GPL-3.0-or-later
// tintwell_wine_drives PREFIX: gives the Wine prefix at PREFIX its drive links, as the tests and
// the bench give theirs (dev.sh run's copy of the sample prefix).

#include "support/TestPrefix.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tintwell_wine_drives PREFIX\n";
        return 2;
    }
    try {
        LinkWineDrives(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
