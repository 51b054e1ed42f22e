# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package in a throwaway folder and checks its control fields and its content.
include(${CHECKS})
include(${CMAKE_CURRENT_LIST_DIR}/MakePackage.cmake)

tintwell_make_package(${OUT} packages)

execute_process(COMMAND ${DPKG_DEB} --field ${packages} Package Section Depends
    OUTPUT_VARIABLE fields RESULT_VARIABLE failed)
if(failed)
    tintwell_fail("dpkg-deb cannot read ${packages}")
endif()
foreach(wanted "Package: tintwell\n" "Section: utils\n" "libqt6widgets6" "libqt6gui6"
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
