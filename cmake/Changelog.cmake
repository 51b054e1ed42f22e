# SPDX-License-Identifier: GPL-3.0-or-later
# The changelog, data/changelog in Debian's format, is the one list of releases. Read with dpkg's
# own parser (package dpkg-dev: dpkg-parsechangelog and libdpkg-perl), it gives
#
#   TINTWELL_DEBIAN_REVISION  the package's revision (the 1 of 0.9.3-1), once its newest entry is
#                             checked to be of project(VERSION)
#   TINTWELL_RELEASE_EPOCH    the time of that entry, which dates the manual page
#   TINTWELL_RELEASES         the AppStream <releases> of the metainfo (tools/metainfo-releases.pl)
#   TINTWELL_CHANGELOG_GZ     changelog.Debian.gz, made by the target tintwell_changelog
set(TINTWELL_CHANGELOG ${PROJECT_SOURCE_DIR}/data/changelog)
set(tintwell_releases_script ${PROJECT_SOURCE_DIR}/tools/metainfo-releases.pl)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${TINTWELL_CHANGELOG} ${tintwell_releases_script})

find_program(TINTWELL_DPKG_PARSECHANGELOG dpkg-parsechangelog)
find_program(TINTWELL_PERL perl)
find_program(TINTWELL_GZIP gzip)
if(NOT TINTWELL_DPKG_PARSECHANGELOG OR NOT TINTWELL_PERL OR NOT TINTWELL_GZIP)
    message(FATAL_ERROR "dpkg-parsechangelog, perl or gzip not found: the changelog cannot be "
                        "read (Debian: install dpkg-dev)")
endif()

function(tintwell_changelog_field field out_var)
    execute_process(
        COMMAND ${TINTWELL_DPKG_PARSECHANGELOG} -l ${TINTWELL_CHANGELOG} -S ${field}
        OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(${out_var} "${value}" PARENT_SCOPE)
endfunction()

tintwell_changelog_field(Version tintwell_changelog_version)
string(REPLACE "." "\\." tintwell_version_pattern "${PROJECT_VERSION}")
if(NOT tintwell_changelog_version MATCHES "^${tintwell_version_pattern}-([0-9]+)$")
    message(FATAL_ERROR
        "data/changelog's newest entry is ${tintwell_changelog_version}, but project(VERSION) is "
        "${PROJECT_VERSION}: put an entry for ${PROJECT_VERSION}-1 at its top "
        "(dch -c data/changelog -v ${PROJECT_VERSION}-1)")
endif()
set(TINTWELL_DEBIAN_REVISION ${CMAKE_MATCH_1})
tintwell_changelog_field(Timestamp TINTWELL_RELEASE_EPOCH)

execute_process(
    COMMAND ${TINTWELL_PERL} ${tintwell_releases_script} ${TINTWELL_CHANGELOG}
    OUTPUT_VARIABLE TINTWELL_RELEASES OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# gzip's --no-name leaves out the file's name and time, so that the same text packs the same way.
set(TINTWELL_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/data/changelog.Debian.gz)
add_custom_command(
    OUTPUT ${TINTWELL_CHANGELOG_GZ}
    COMMAND ${CMAKE_COMMAND} -E copy ${TINTWELL_CHANGELOG} ${PROJECT_BINARY_DIR}/data/changelog.Debian
    COMMAND ${TINTWELL_GZIP} --best --no-name --force ${PROJECT_BINARY_DIR}/data/changelog.Debian
    DEPENDS ${TINTWELL_CHANGELOG}
    COMMENT "Compressing the changelog"
    VERBATIM)
add_custom_target(tintwell_changelog DEPENDS ${TINTWELL_CHANGELOG_GZ})
