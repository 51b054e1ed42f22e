# SPDX-License-Identifier: GPL-3.0-or-later
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
        # A static Qt links the default platform only (windows on Windows).
        if(TINTWELL_QT_STATIC)
            qt_import_plugins(${ARG_NAME} INCLUDE Qt6::QOffscreenIntegrationPlugin)
        endif()
        add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
        set_tests_properties(${ARG_NAME} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    else()
        target_link_libraries(${ARG_NAME} PRIVATE gtest gtest_main)
        add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    endif()
    if(TINTWELL_TESTS_UNDER_WINE)
        tintwell_run_under_wine(${ARG_NAME})
        if(ARG_QT)
            tintwell_qt_under_wine(${ARG_NAME})
        endif()
    endif()
endfunction()

# Windows test programs of a cross build run under Wine (CMAKE_CROSSCOMPILING_EMULATOR), all in one
# throwaway prefix in the build folder that a setup test makes first: two tests starting Wine on a
# new prefix at once would race. The same setup stores the registry values of the registry case
# table in it (see tintwell_wine_registry_prefix).
set(TINTWELL_TESTS_UNDER_WINE OFF)
if(CMAKE_CROSSCOMPILING AND WIN32)
    set(TINTWELL_TESTS_UNDER_WINE ON)
endif()
set(TINTWELL_TEST_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")

# Registers the setup test `fixture`, which makes a Wine prefix in `prefix_dir` with Wine itself
# and stores the values of tests/gameconfig/RegistryCases.h in its registry with `wine reg add`.
function(tintwell_wine_registry_prefix fixture prefix_dir)
    add_test(NAME ${fixture}
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/gameconfig/make_registry_prefix.sh ${prefix_dir})
    # Making a prefix takes some 30 seconds; give a slow machine ten times that.
    set_tests_properties(${fixture} PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 300)
endfunction()

function(tintwell_run_under_wine test)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
        "WINEPREFIX=${TINTWELL_TEST_WINEPREFIX}" "WINEDEBUG=-all")
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
endfunction()

# Wine hands a program no QT_* variable of the host; it hands on WINEQT_* as QT_*. The offscreen
# platform draws with FreeType from a font folder (Z: is the host's root), and Qt's log goes to
# the output that ctest shows. The window tests install games into the registry of the one shared
# prefix (tests/support/TestPrefixWindows.cpp), so they take turns.
set(TINTWELL_WINE_FONT_DIR "Z:/usr/share/fonts/truetype/liberation"
    CACHE STRING "The fonts of the window tests under Wine, as a Windows path")
function(tintwell_qt_under_wine test)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
        "WINEQT_QPA_PLATFORM=offscreen" "WINEQT_QPA_FONTDIR=${TINTWELL_WINE_FONT_DIR}"
        "WINEQT_FORCE_STDERR_LOGGING=1")
    set_property(TEST ${test} APPEND PROPERTY RESOURCE_LOCK tintwell_windows_registry)
endfunction()

if(TINTWELL_TESTS_UNDER_WINE AND NOT TEST wine_prefix)
    tintwell_wine_registry_prefix(wine_prefix ${TINTWELL_TEST_WINEPREFIX})
endif()
