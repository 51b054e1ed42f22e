# SPDX-License-Identifier: GPL-3.0-or-later
# The same source gives the same program whatever folder it is built in: the compilers write the
# source and build folders as "." and "build" into the debug information and into __FILE__.
# Stripping drops the debug information, but not the build id the linker computed over it.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
endif()
# The build folder is often inside the source folder; the compilers try the last map first.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
