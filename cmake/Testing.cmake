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
    if(CMAKE_CROSSCOMPILING AND WIN32)
        tintwell_run_under_wine(${ARG_NAME})
    endif()
endfunction()

# Windows test programs run under Wine, all in one throwaway prefix in the build folder that a
# setup test creates first (two tests starting Wine on a new prefix at once would race).
set(TINTWELL_TEST_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")

function(tintwell_run_under_wine test)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
        "WINEPREFIX=${TINTWELL_TEST_WINEPREFIX}" "WINEDEBUG=-all")
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
endfunction()

if(CMAKE_CROSSCOMPILING AND WIN32 AND NOT TEST wine_prefix)
    add_test(NAME wine_prefix
        COMMAND ${CMAKE_COMMAND} -E env "WINEPREFIX=${TINTWELL_TEST_WINEPREFIX}" WINEDEBUG=-all
            wine wineboot --init)
    set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix)
endif()
