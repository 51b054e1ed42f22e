# SPDX-License-Identifier: GPL-3.0-or-later
# Read by CPack while it makes the Debian package. dpkg-shlibdeps (package dpkg-dev, which needs
# `file` too) names the packages of the libraries the program links, as this system calls them
# (libqt6core6 here, libqt6core6t64 on newer systems); without those tools the packages of
# Debian 12 are named directly.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

# What the program needs at run time without linking it: the font its windows ask for ("Courier
# New", which Liberation Mono stands in for) and Qt's platform plugins, without which it opens
# no window at all.
set(tintwell_runtime_packages "fonts-liberation, qt6-qpa-plugins")

find_program(TINTWELL_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(TINTWELL_FILE file)
if(TINTWELL_DPKG_SHLIBDEPS AND TINTWELL_FILE)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${tintwell_runtime_packages}")
else()
    set(qt ">= ${CPACK_TINTWELL_QT_VERSION}")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (${qt}), libqt6gui6 (${qt}), libqt6core6 (${qt}), libyaml-cpp0.7, libstdc++6, libc6, ${tintwell_runtime_packages}")
endif()
