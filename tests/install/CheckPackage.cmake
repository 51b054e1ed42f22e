# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package in a throwaway folder and checks its control fields and its content.
include(${CHECKS})

file(REMOVE_RECURSE ${OUT})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E chdir ${BUILD_DIR}
            ${CMAKE_CPACK_COMMAND} -G DEB -B ${OUT} --config ${BUILD_DIR}/CPackConfig.cmake
    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB packages ${OUT}/*.deb)
list(LENGTH packages count)
if(failed OR NOT count EQUAL 1)
    tintwell_fail("cpack made ${count} packages:\n${output}")
endif()

execute_process(COMMAND ${DPKG_DEB} --field ${packages} Package Section Depends
    OUTPUT_VARIABLE fields RESULT_VARIABLE failed)
if(failed)
    tintwell_fail("dpkg-deb cannot read ${packages}")
endif()
foreach(wanted "Package: tintwell\n" "Section: games\n" "libqt6widgets6" "libqt6gui6"
               "libqt6core6" "fonts-liberation" "qt6-qpa-plugins")
    string(FIND "${fields}" "${wanted}" at)
    if(at EQUAL -1)
        tintwell_fail("the package's fields lack \"${wanted}\":\n${fields}")
    endif()
endforeach()

set(unpacked ${OUT}/unpacked)
execute_process(COMMAND ${DPKG_DEB} --extract ${packages} ${unpacked} RESULT_VARIABLE failed)
if(failed)
    tintwell_fail("dpkg-deb cannot unpack ${packages}")
endif()
tintwell_check_layout(${unpacked}/usr)
file(REMOVE_RECURSE ${OUT})
