# One place that builds a test binary and registers it with ctest.
#
#   tintwell_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [QT])
#
# GoogleTest binaries link gtest_main; QT marks a Qt Test binary, which runs on the offscreen
# platform so that the suite needs no display.

if(NOT TARGET gtest)
    set(TINTWELL_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${TINTWELL_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

function(tintwell_add_test)
    cmake_parse_arguments(ARG "QT" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    tintwell_warnings(${ARG_NAME})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
    target_compile_definitions(${ARG_NAME} PRIVATE
        TINTWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    if(ARG_QT)
        target_link_libraries(${ARG_NAME} PRIVATE Qt6::Test)
        add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
        set_tests_properties(${ARG_NAME} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    else()
        target_link_libraries(${ARG_NAME} PRIVATE gtest gtest_main)
        add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    endif()
endfunction()
