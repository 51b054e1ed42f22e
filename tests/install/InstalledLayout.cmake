# SPDX-License-Identifier: GPL-3.0-or-later
# Checks an installed tree below ROOT (the install prefix, e.g. <DESTDIR>/usr): exactly the files
# of the program's layout, each of them what it should be. Used by CheckInstall and CheckPackage.

function(tintwell_fail)
    string(JOIN "" message ${ARGN})
    message(FATAL_ERROR "${message}")
endfunction()

function(tintwell_check_contains file text)
    file(READ ${file} content)
    string(FIND "${content}" "${text}" at)
    if(at EQUAL -1)
        tintwell_fail("${file} lacks \"${text}\"")
    endif()
endfunction()

# The width and height a PNG file's header gives, and that it is a PNG at all.
function(tintwell_check_png file size)
    file(READ ${file} header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        tintwell_fail("${file} is not a PNG picture")
    endif()
    string(SUBSTRING "${header}" 32 8 width)
    string(SUBSTRING "${header}" 40 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
        tintwell_fail("${file} is ${width} x ${height}, not ${size} x ${size}")
    endif()
endfunction()

function(tintwell_check_layout root)
    string(REPLACE "," ";" sizes "${ICON_SIZES}")
    set(expected
        bin/tintwell
        share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml
        share/man/man1/tintwell.1.gz
        share/doc/tintwell/copyright
        share/doc/tintwell/changelog.Debian.gz
        share/lintian/overrides/tintwell)
    foreach(size IN LISTS sizes)
        list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tintwell.png)
    endforeach()

    file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
    list(SORT expected)
    list(SORT found)
    if(NOT found STREQUAL expected)
        string(REPLACE ";" "\n  " found_lines "${found}")
        string(REPLACE ";" "\n  " expected_lines "${expected}")
        tintwell_fail("installed:\n  ${found_lines}\nexpected:\n  ${expected_lines}")
    endif()

    file(READ ${root}/bin/tintwell magic LIMIT 4 HEX)
    execute_process(COMMAND test -x ${root}/bin/tintwell RESULT_VARIABLE not_executable)
    if(NOT magic STREQUAL "7f454c46" OR not_executable)
        tintwell_fail("bin/tintwell is not an executable program")
    endif()

    foreach(size IN LISTS sizes)
        tintwell_check_png(${root}/share/icons/hicolor/${size}x${size}/apps/tintwell.png ${size})
    endforeach()

    set(entry ${root}/share/applications/${APP_ID}.desktop)
    foreach(line "Exec=tintwell\n" "Icon=tintwell\n" "Categories=Game;")
        tintwell_check_contains(${entry} "${line}")
    endforeach()
    set(metainfo ${root}/share/metainfo/${APP_ID}.metainfo.xml)
    foreach(text "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
                 "<binary>tintwell</binary>" "<screenshot type=\"default\">"
                 "<project_license>GPL-3.0-or-later</project_license>"
                 "<release version=\"${VERSION}\" date=\"")
        tintwell_check_contains(${metainfo} "${text}")
    endforeach()
    # Every placeholder of the template was filled in.
    file(STRINGS ${metainfo} unfilled REGEX "@[A-Z_]+@")
    if(unfilled)
        tintwell_fail("${metainfo} keeps placeholders: ${unfilled}")
    endif()
endfunction()
