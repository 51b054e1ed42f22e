# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64).
# The -posix compilers: the win32 thread model has no std::mutex, and GoogleTest needs it.
# Tests run as Windows programs under Wine (package wine), in a prefix inside the build folder
# (cmake/Testing.cmake). Without a Qt for MinGW-w64 the build leaves the windows out.
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#   ctest --test-dir build-windows        (or all of it: ./dev.sh test-windows)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TINTWELL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TINTWELL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TINTWELL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TINTWELL_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TINTWELL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static linking, so the test programs need no MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
