# SPDX-License-Identifier: GPL-3.0-or-later
# A project of this repository built from the main build as an ExternalProject (the fuzz targets,
# the host tools of a cross build) builds once, and again when a file it may compile changes:
# a no-op build of the main project then costs nothing.
include(ExternalProject)

# tintwell_rebuild_when_changed(<external project> <folder>...): the project's build step depends
# on every file under the folders (of the repository) and on the top-level CMakeLists.txt.
function(tintwell_rebuild_when_changed project)
    set(patterns ${PROJECT_SOURCE_DIR}/CMakeLists.txt)
    foreach(folder IN LISTS ARGN)
        list(APPEND patterns ${PROJECT_SOURCE_DIR}/${folder}/*)
    endforeach()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${patterns})
    ExternalProject_Add_StepDependencies(${project} build ${sources})
endfunction()
