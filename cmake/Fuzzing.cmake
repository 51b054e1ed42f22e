# SPDX-License-Identifier: GPL-3.0-or-later
# The libFuzzer targets of fuzz/, built with Clang as a project of their own (the program itself is
# built with GCC), and one ctest run of each for a bounded time. Only where Clang is installed
# (Debian: clang and libclang-rt-14-dev); TINTWELL_FUZZ=OFF leaves them out, as a sanitized build
# does (the targets are sanitized already).
#
# Each run starts from the committed seeds (fuzz/corpus/<target>) and from what earlier runs in
# this build folder found (fuzz/work/<target>); an input that fails is kept in fuzz/artifacts/.
option(TINTWELL_FUZZ "Fuzz the file readers in ctest when Clang is installed" ON)
if(NOT TINTWELL_FUZZ OR TINTWELL_SANITIZE OR CMAKE_CROSSCOMPILING OR WIN32)
    return()
endif()

find_program(TINTWELL_CLANGXX NAMES clang++ clang++-14)
if(NOT TINTWELL_CLANGXX)
    message(STATUS "clang++ not found: the fuzz tests are left out")
    return()
endif()

# Clang without its fuzzer and sanitizer runtimes (libclang-rt-14-dev) cannot link the targets.
# Asked again at each configure until it can.
if(NOT TINTWELL_CLANG_CAN_FUZZ)
    set(probe_dir ${CMAKE_BINARY_DIR}/fuzz/probe)
    file(WRITE ${probe_dir}/probe.cpp
        "extern \"C\" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n")
    execute_process(
        COMMAND ${TINTWELL_CLANGXX} -fsanitize=fuzzer,address,undefined probe.cpp -o probe
        WORKING_DIRECTORY ${probe_dir}
        RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
    if(NOT probe_result EQUAL 0)
        message(STATUS "clang++ cannot link fuzz targets (libclang-rt-14-dev missing?): "
                       "the fuzz tests are left out")
        return()
    endif()
    set(TINTWELL_CLANG_CAN_FUZZ ON CACHE INTERNAL "clang++ links libFuzzer targets")
endif()

set(TINTWELL_FUZZ_SECONDS 60 CACHE STRING "How long ctest runs each fuzz target")

include(SubBuild)
set(fuzz_dir ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(tintwell_fuzz
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/fuzz
    BINARY_DIR ${fuzz_dir}/build
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${TINTWELL_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
    # One job: the main build runs beside it.
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j1
    INSTALL_COMMAND ""
    LOG_CONFIGURE ON
    LOG_BUILD ON
    LOG_OUTPUT_ON_FAILURE ON)
tintwell_rebuild_when_changed(tintwell_fuzz fuzz src cmake)

function(tintwell_fuzz_test target corpus)
    set(work ${fuzz_dir}/work/${corpus})
    file(MAKE_DIRECTORY ${work} ${fuzz_dir}/artifacts)
    add_test(NAME ${target}
        COMMAND ${fuzz_dir}/build/${target}
            -max_total_time=${TINTWELL_FUZZ_SECONDS}
            -timeout=10 -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1
            -artifact_prefix=${fuzz_dir}/artifacts/${target}-
            ${work} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${corpus})
    # Twice the fuzzing time covers loading the corpus and the sanitizers' reports.
    math(EXPR limit "2 * ${TINTWELL_FUZZ_SECONDS} + 60")
    # A small quarantine of freed memory: the default one makes every run touch fresh pages,
    # which slows these short runs down fourfold.
    set_tests_properties(${target} PROPERTIES TIMEOUT ${limit} LABELS fuzz
        ENVIRONMENT "ASAN_OPTIONS=quarantine_size_mb=16")
endfunction()

tintwell_fuzz_test(fuzz_registry_file registry)
tintwell_fuzz_test(fuzz_name_entry nameentry)
tintwell_fuzz_test(fuzz_binary_vdf binaryvdf)
