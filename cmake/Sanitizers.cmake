# SPDX-License-Identifier: GPL-3.0-or-later
# TINTWELL_SANITIZE=ON builds every target (the program, the libraries, the tools run at build
# time and the tests) with AddressSanitizer and UndefinedBehaviorSanitizer. Any finding ends the
# program with a report, so a test that triggers one fails.
#
#   cmake -S . -B build-sanitized -G Ninja -DTINTWELL_SANITIZE=ON
if(NOT TINTWELL_SANITIZE)
    return()
endif()

if(MSVC OR WIN32)
    message(FATAL_ERROR "TINTWELL_SANITIZE needs GCC or Clang on Linux")
endif()

add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)
