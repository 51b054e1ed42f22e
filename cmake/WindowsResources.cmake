# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows resources of the program (src/tintwell.rc.in): its icon, drawn by the artwork
# generator as a Windows icon file; its manifest (src/tintwell.manifest.in); its version record.
#
#   tintwell_add_windows_resources(<target>)
#
# MSVC's linker makes a manifest of its own and merges the one given as a source into it; other
# toolchains (MinGW-w64) take it from the resource script.

# Writes the program's manifest into the current build folder; `out_var` gets its path.
function(tintwell_configure_manifest out_var)
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/tintwell.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/src/tintwell.manifest.in ${manifest} @ONLY)
    set(${out_var} ${manifest} PARENT_SCOPE)
endfunction()

function(tintwell_add_windows_resources target)
    set(out ${CMAKE_CURRENT_BINARY_DIR})
    set(icon ${out}/tintwell.ico)
    # The generator is a program of the build machine, also in a cross build (tools/artgen); Qt
    # wants a private runtime folder there, as for the pictures (src/ui/artwork).
    set(runtime ${out}/artgen-runtime)
    file(MAKE_DIRECTORY ${runtime})
    file(CHMOD ${runtime} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    add_custom_command(
        OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E env XDG_RUNTIME_DIR=${runtime}
                $<TARGET_FILE:tintwell_artgen> --windows-icon ${icon}
        DEPENDS tintwell_artgen $<TARGET_FILE:tintwell_artgen>
        COMMENT "Drawing the Windows icon"
        VERBATIM)

    tintwell_configure_manifest(manifest)

    set(TINTWELL_RC_ICON ${icon})
    if(MSVC)
        set(TINTWELL_RC_MANIFEST "")
        target_sources(${target} PRIVATE ${manifest})
    else()
        # 1 is CREATEPROCESS_MANIFEST_RESOURCE_ID, 24 is RT_MANIFEST.
        set(TINTWELL_RC_MANIFEST "1 24 \"${manifest}\"")
    endif()
    set(rc ${out}/tintwell.rc)
    configure_file(${PROJECT_SOURCE_DIR}/src/tintwell.rc.in ${rc} @ONLY)

    # The icon as a source too, so that the target runs the command that draws it.
    target_sources(${target} PRIVATE ${rc} ${icon})
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${icon};${manifest}")
endfunction()
