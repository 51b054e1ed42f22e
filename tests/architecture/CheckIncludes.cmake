# SPDX-License-Identifier: GPL-3.0-or-later
# The rooms of src/ and which rooms each may include: the arrows point down (startup -> ui and
# gameconfig -> wine -> platform; namecode on its own). startup and ui call each other by design:
# Main opens the windows, and the editor's Save and Cancel call Main again. A source at the root of
# src/ (main.cpp) starts the program.
#
#   cmake -DSOURCE_DIR=<src> -P CheckIncludes.cmake   fails naming every include against the arrows
cmake_minimum_required(VERSION 3.25)

set(allowed_startup startup ui gameconfig namecode platform)
set(allowed_ui ui startup gameconfig namecode platform)
set(allowed_gameconfig gameconfig wine platform)
set(allowed_namecode namecode)
set(allowed_wine wine platform)
set(allowed_platform platform)
set(allowed_root startup)
set(rooms startup ui gameconfig namecode wine platform)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(wrong "")
foreach(source IN LISTS sources)
    if(source MATCHES "^([^/]+)/")
        set(room ${CMAKE_MATCH_1})
    else()
        set(room root)
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        if(line MATCHES "\"([^/\"]+)/[^\"]*\"" AND CMAKE_MATCH_1 IN_LIST rooms)
            if(NOT CMAKE_MATCH_1 IN_LIST allowed_${room})
                string(STRIP "${line}" line)
                string(APPEND wrong "\n  src/${source}: ${line} (${room} may include: "
                                    "${allowed_${room}})")
            endif()
        endif()
    endforeach()
endforeach()
if(wrong)
    message(FATAL_ERROR "Includes against the arrows between the rooms:${wrong}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources of src/ include along the arrows")
