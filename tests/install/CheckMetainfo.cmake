# SPDX-License-Identifier: GPL-3.0-or-later
# Holds what `appstreamcli validate --pedantic` says of the metainfo to what docs/packaging.md
# justifies. Without the network: the screenshots' addresses are not fetched.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/JustifiedTags.cmake)

# appstreamcli's status is not 0 when it gave an error or warning tag; those are judged below.
execute_process(
    COMMAND ${APPSTREAMCLI} validate --pedantic --no-net ${METAINFO}
    OUTPUT_FILE ${OUT} ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status MATCHES "^[0-9]+$")
    message(FATAL_ERROR "appstreamcli failed (${status}):\n${errors}")
endif()
tintwell_check_tags(AppStream ${OUT})
