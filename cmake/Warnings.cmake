# SPDX-License-Identifier: GPL-3.0-or-later
# Compiler warnings for every target of the project (not for third-party code).
function(tintwell_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    endif()
endfunction()
