# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening Debian builds its own packages with (dpkg-buildflags, hardening=+all): C library
# calls checked for overflows where the compiler can see the buffer's size, a stack protector, and
# a relocation table that is resolved at start and then made read-only. For every target of an
# optimised Linux build; the sanitizers check more than these and do not mix with the first.
if(WIN32 OR APPLE OR TINTWELL_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
endif()

add_compile_options(-fstack-protector-strong)
# _FORTIFY_SOURCE needs optimisation; a Debug build has none.
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)
