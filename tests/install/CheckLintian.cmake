# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package in a throwaway folder and holds what `lintian --pedantic` says of it
# (info and experimental tags too) to what docs/packaging.md justifies.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/MakePackage.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/JustifiedTags.cmake)

tintwell_make_package(${OUT} package)
# lintian's status is 1 when it gave an error or warning tag; the tags themselves are judged below.
execute_process(
    COMMAND ${LINTIAN} --pedantic --display-info --display-experimental --show-overrides ${package}
    OUTPUT_FILE ${OUT}/lintian.txt ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status MATCHES "^[01]$")
    message(FATAL_ERROR "lintian failed (${status}):\n${errors}")
endif()
tintwell_check_tags(lintian ${OUT}/lintian.txt)
file(REMOVE_RECURSE ${OUT})
