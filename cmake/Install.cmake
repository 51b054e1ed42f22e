# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where (GNU layout below the install prefix), and the Debian package
# CPack makes of it (`cpack -G DEB` in the build folder, or `./dev.sh package`):
#
#   bin/tintwell
#   share/applications/<app id>.desktop                  the menu entry
#   share/icons/hicolor/<size>x<size>/apps/tintwell.png  32 (the windows' icon) to 256
#   share/metainfo/<app id>.metainfo.xml                 what software centres show
#   share/man/man1/tintwell.1.gz                         the manual page
#   share/doc/tintwell/copyright                         the licence and where the source is
#   share/doc/tintwell/changelog.Debian.gz               the releases (data/changelog)
#   share/lintian/overrides/tintwell                     the lintian tag that does not apply
#
# On Windows the program and its licence go into the install folder itself (WindowsPackage.cmake).
include(GNUInstallDirs)

# The project's home and its issue tracker, which the Windows release names too, its AppStream id
# (io.github.<owner>.<name>, after the home) and the web address of the pictures in docs/, which
# software centres show.
set(TINTWELL_HOMEPAGE_URL "https://github.com/tintwell/tintwell")
set(TINTWELL_BUGS_URL "${TINTWELL_HOMEPAGE_URL}/issues")
set(TINTWELL_APP_ID "io.github.tintwell.Tintwell")
set(TINTWELL_PICTURES_URL "https://raw.githubusercontent.com/tintwell/tintwell/main/docs")
set(TINTWELL_CONTACT "Tintwell maintainers <tintwell@users.noreply.github.com>")

if(WIN32)
    include(WindowsPackage)
    return()
endif()
# Directories as Debian wants them whatever the umask of whoever builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS tintwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(APPLE)
    return()
endif()
# A stripped program (cmake --install --strip, the package) also loses the compilers' notes of
# their versions, as Debian strips programs (dh_strip).
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(
            COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tintwell\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")

# The changelog gives the metainfo its releases; the manual page is built from its source.
include(Changelog)
include(ManualPage)
add_dependencies(tintwell tintwell_changelog tintwell_manual_page)

set(tintwell_data ${PROJECT_SOURCE_DIR}/data)
set(tintwell_metainfo ${PROJECT_BINARY_DIR}/data/${TINTWELL_APP_ID}.metainfo.xml)
configure_file(${tintwell_data}/tintwell.metainfo.xml.in ${tintwell_metainfo} @ONLY)

install(FILES ${tintwell_data}/${TINTWELL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tintwell_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TINTWELL_MANUAL_PAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${tintwell_data}/copyright ${TINTWELL_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The one lintian tag that does not apply to this package, and why (docs/packaging.md).
install(FILES ${tintwell_data}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tintwell)

# The icons come from the artwork generator: icon.png is the windows' 32 x 32 icon, icon_<size>.png
# the larger ones drawn for the icon theme. `all` must draw them before anything is installed.
get_target_property(tintwell_art_dir tintwell_artwork ART_DIR)
add_dependencies(tintwell tintwell_artwork)
set(TINTWELL_ICON_SIZES 32 48 64 128 256)
foreach(size IN LISTS TINTWELL_ICON_SIZES)
    if(size EQUAL 32)
        set(icon ${tintwell_art_dir}/icon.png)
    else()
        set(icon ${tintwell_art_dir}/icon_${size}.png)
    endif()
    install(FILES ${icon}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME tintwell.png)
endforeach()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tintwell)
set(CPACK_PACKAGE_VENDOR "Tintwell maintainers")
set(CPACK_PACKAGE_CONTACT "${TINTWELL_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "colour your player name for Call of Duty and United Offensive")
# The long description; CPack puts the summary above it and indents its lines.
set(CPACK_PACKAGE_DESCRIPTION
    "Instead of typing colour codes such as ^1 and ^7 by hand, click the letters
of your name and a colour; Tintwell writes the coded name into the game's
multiplayer config file and changes nothing else in it. It finds the game
on Linux in the Wine prefix named by WINEPREFIX, or else in ~/.wine, in
the Steam Play prefix of the Steam release or of a copy added to Steam as
a non-Steam game, and in the prefixes of Lutris, Heroic, Bottles,
PlayOnLinux and CrossOver.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TINTWELL_DEBIAN_REVISION})
# A helper of a game, not a game: see docs/packaging.md.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TINTWELL_HOMEPAGE_URL})
# The dependencies are decided when the package is made (see the file).
set(CPACK_TINTWELL_QT_VERSION ${Qt6_VERSION})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/DebDependencies.cmake)
include(CPack)
