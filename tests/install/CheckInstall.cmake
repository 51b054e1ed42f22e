# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throwaway DESTDIR with the prefix /usr, as a distribution package
# would, and checks the layout.
include(${CHECKS})

file(REMOVE_RECURSE ${STAGING})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGING}
            ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed)
    tintwell_fail("cmake --install failed:\n${output}")
endif()

# Nothing may land outside the staging folder (an absolute install destination would).
file(GLOB top RELATIVE ${STAGING} ${STAGING}/*)
if(NOT top STREQUAL "usr")
    tintwell_fail("installed outside /usr: ${top}")
endif()
tintwell_check_layout(${STAGING}/usr)
file(REMOVE_RECURSE ${STAGING})
