# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page tintwell(1): data/tintwell.1.scd turned into roff by scdoc (Debian: package
# scdoc) and compressed, as Debian keeps manual pages. It is dated by the newest changelog entry
# (TINTWELL_RELEASE_EPOCH, see Changelog.cmake), not by the day of the build.
#
#   TINTWELL_MANUAL_PAGE_GZ   tintwell.1.gz, made by the target tintwell_manual_page
find_program(TINTWELL_SCDOC scdoc)
if(NOT TINTWELL_SCDOC)
    message(FATAL_ERROR "scdoc not found: it makes the manual page (Debian: install scdoc)")
endif()

set(tintwell_manual_source ${PROJECT_SOURCE_DIR}/data/tintwell.1.scd)
set(tintwell_manual_page ${PROJECT_BINARY_DIR}/data/tintwell.1)
set(TINTWELL_MANUAL_PAGE_GZ ${tintwell_manual_page}.gz)
add_custom_command(
    OUTPUT ${TINTWELL_MANUAL_PAGE_GZ}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TINTWELL_RELEASE_EPOCH}
            ${TINTWELL_SCDOC} < ${tintwell_manual_source} > ${tintwell_manual_page}
    COMMAND ${TINTWELL_GZIP} --best --no-name --force ${tintwell_manual_page}
    DEPENDS ${tintwell_manual_source}
    COMMENT "Making the manual page"
    VERBATIM)
add_custom_target(tintwell_manual_page DEPENDS ${TINTWELL_MANUAL_PAGE_GZ})
