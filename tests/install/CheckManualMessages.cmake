# SPDX-License-Identifier: GPL-3.0-or-later
# The README's messages table (its first column) and the manual page's MESSAGES (its bold titles)
# name the same messages in the same order, markup aside (*, _ and \ of Markdown and scdoc).
cmake_minimum_required(VERSION 3.25)

# The messages named in <file> under the heading <start>, up to the next heading <end>: the first
# part of each line that matches <pattern>.
function(tintwell_messages file start end pattern out_var)
    file(STRINGS ${file} lines)
    list(FIND lines "${start}" at)
    list(SUBLIST lines ${at} -1 lines)
    set(messages "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^${end}" AND NOT line STREQUAL start)
            break()
        elseif(line MATCHES "${pattern}" AND NOT CMAKE_MATCH_1 STREQUAL "Message")
            string(REGEX REPLACE "[*_\\]" "" message "${CMAKE_MATCH_1}")
            list(APPEND messages "${message}")
        endif()
    endforeach()
    set(${out_var} "${messages}" PARENT_SCOPE)
endfunction()

tintwell_messages(${README} "### Messages" "##?#? " "^\\| ([^|]+) \\|" readme)
tintwell_messages(${MANUAL} "# MESSAGES" "# " "^(\\*.*)$" manual)
if(NOT readme OR NOT readme STREQUAL manual)
    string(REPLACE ";" "\n  " readme "${readme}")
    string(REPLACE ";" "\n  " manual "${manual}")
    message(FATAL_ERROR "README.md's messages:\n  ${readme}\ndata/tintwell.1.scd's:\n  ${manual}")
endif()
