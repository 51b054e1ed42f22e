# SPDX-License-Identifier: GPL-3.0-or-later
# The README's messages table (its first column) and the manual page's MESSAGES (its bold titles)
# name the same messages in the same order. Markup aside: *emphasis* in the one, *bold* and
# _underline_ in the other.

# The lines of <file> from the heading <start> up to the next heading of the same level.
function(tintwell_section_lines file start level out_var)
    file(STRINGS ${file} lines)
    set(inside OFF)
    set(section "")
    foreach(line IN LISTS lines)
        if(line STREQUAL start)
            set(inside ON)
        elseif(inside AND line MATCHES "^${level} ")
            break()
        elseif(inside)
            list(APPEND section "${line}")
        endif()
    endforeach()
    set(${out_var} "${section}" PARENT_SCOPE)
endfunction()

function(tintwell_plain text out_var)
    string(REGEX REPLACE "[*_\\]" "" text "${text}")
    set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

tintwell_section_lines(${README} "### Messages" "##?#?" rows)
set(readme_messages "")
foreach(row IN LISTS rows)
    if(row MATCHES "^\\| ([^|]+) \\|" AND NOT CMAKE_MATCH_1 STREQUAL "Message")
        tintwell_plain("${CMAKE_MATCH_1}" message)
        list(APPEND readme_messages "${message}")
    endif()
endforeach()

tintwell_section_lines(${MANUAL} "# MESSAGES" "#" lines)
set(manual_messages "")
foreach(line IN LISTS lines)
    if(line MATCHES "^\\*")
        tintwell_plain("${line}" message)
        list(APPEND manual_messages "${message}")
    endif()
endforeach()

list(LENGTH readme_messages count)
if(count EQUAL 0 OR NOT readme_messages STREQUAL manual_messages)
    string(REPLACE ";" "\n  " readme_lines "${readme_messages}")
    string(REPLACE ";" "\n  " manual_lines "${manual_messages}")
    message(FATAL_ERROR "README.md's messages:\n  ${readme_lines}\n"
                        "data/tintwell.1.scd's messages:\n  ${manual_lines}")
endif()
