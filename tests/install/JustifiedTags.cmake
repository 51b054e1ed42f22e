# SPDX-License-Identifier: GPL-3.0-or-later
# lintian and appstreamcli may give exactly the tags that docs/packaging.md justifies, each in a
# row "| <tool> | `<tag>` | <why> |" of its table; any other tag, or a justified one that no longer
# comes, fails the test.
#
#   tintwell_check_tags(<tool> <file with the tool's output>)

function(tintwell_check_tags tool output_file)
    file(STRINGS ${PACKAGING_DOC} rows REGEX "^\\| ${tool} \\| `[^`]+` \\|")
    set(justified "")
    foreach(row IN LISTS rows)
        string(REGEX MATCH "`([^`]+)`" ignored "${row}")
        list(APPEND justified ${CMAKE_MATCH_1})
    endforeach()

    # A tag line: "W: tintwell: some-tag [context]", "P: <app id>:<line>: some-tag <context>"; "O:"
    # for an overridden tag, "N:" for notes such as the reason of an override.
    file(STRINGS ${output_file} lines REGEX "^[EWIPXO]: [^ ]+ [a-z0-9]")
    set(given "")
    set(unjustified "")
    foreach(line IN LISTS lines)
        string(REGEX MATCH "^[A-Z]: [^ ]+ ([^ ]+)" ignored "${line}")
        list(APPEND given ${CMAKE_MATCH_1})
        if(NOT CMAKE_MATCH_1 IN_LIST justified)
            list(APPEND unjustified ${CMAKE_MATCH_1})
        endif()
    endforeach()
    set(stale "")
    foreach(tag IN LISTS justified)
        if(NOT tag IN_LIST given)
            list(APPEND stale ${tag})
        endif()
    endforeach()

    file(READ ${output_file} output)
    if(unjustified)
        message(FATAL_ERROR "${tool} gives tags docs/packaging.md does not justify: "
                            "${unjustified}\n${output}")
    endif()
    if(stale)
        message(FATAL_ERROR "docs/packaging.md justifies ${tool} tags that no longer come: "
                            "${stale}\n${output}")
    endif()
    message(STATUS "${tool} says:\n${output}")
endfunction()
