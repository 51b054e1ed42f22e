# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows release, made by the target tintwell_windows_release (`./dev.sh package-windows`)
# in <build>/release/:
#
#   tintwell-<version>-windows-x64.zip        tintwell.exe, LICENSE and README.txt (for players)
#   tintwell-<version>-windows-x64-setup.exe  installs the same into Program Files, with a
#                                             Start-menu entry and an uninstaller (NSIS)
#
# tintwell.exe is one static program that needs only the system's DLLs. `cmake --install` puts
# the three files into the install folder itself.
set(release ${PROJECT_BINARY_DIR}/release)
set(release_name tintwell-${PROJECT_VERSION}-windows-x64)
set(TINTWELL_STAGE ${release}/stage)
set(TINTWELL_SETUP ${release}/${release_name}-setup.exe)
set(TINTWELL_ZIP ${release}/${release_name}.zip)
set(TINTWELL_ICON ${PROJECT_BINARY_DIR}/src/tintwell.ico)

# Notepad and every other Windows editor read it with Windows line ends.
set(readme ${release}/README.txt)
configure_file(${PROJECT_SOURCE_DIR}/data/windows/README.txt.in ${readme} @ONLY NEWLINE_STYLE CRLF)
set(nsi ${release}/tintwell.nsi)
configure_file(${PROJECT_SOURCE_DIR}/data/windows/tintwell.nsi.in ${nsi} @ONLY)

install(TARGETS tintwell RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${readme} DESTINATION .)

find_program(TINTWELL_MAKENSIS makensis)
if(NOT TINTWELL_MAKENSIS)
    message(STATUS "No makensis (package nsis): no Windows installer")
    return()
endif()

add_custom_command(
    OUTPUT ${TINTWELL_ZIP} ${TINTWELL_SETUP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${TINTWELL_STAGE}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${TINTWELL_STAGE} --strip
    COMMAND ${CMAKE_COMMAND} -E rm -f ${TINTWELL_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${TINTWELL_STAGE}
            ${CMAKE_COMMAND} -E tar cf ${TINTWELL_ZIP} --format=zip tintwell.exe LICENSE README.txt
    COMMAND ${TINTWELL_MAKENSIS} -V2 ${nsi}
    DEPENDS tintwell ${readme} ${nsi} ${PROJECT_SOURCE_DIR}/LICENSE
    COMMENT "Making ${release_name}.zip and ${release_name}-setup.exe"
    VERBATIM)
add_custom_target(tintwell_windows_release DEPENDS ${TINTWELL_ZIP} ${TINTWELL_SETUP})
