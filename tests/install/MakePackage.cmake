# SPDX-License-Identifier: GPL-3.0-or-later
# tintwell_make_package(<folder> <variable>): makes the Debian package of BUILD_DIR with CPack in a
# fresh <folder> and sets <variable> to its path.
function(tintwell_make_package folder out_var)
    file(REMOVE_RECURSE ${folder})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E chdir ${BUILD_DIR}
                ${CMAKE_CPACK_COMMAND} -G DEB -B ${folder} --config ${BUILD_DIR}/CPackConfig.cmake
        RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
    file(GLOB packages ${folder}/*.deb)
    list(LENGTH packages count)
    if(failed OR NOT count EQUAL 1)
        message(FATAL_ERROR "cpack made ${count} packages:\n${output}")
    endif()
    set(${out_var} ${packages} PARENT_SCOPE)
endfunction()
