# SPDX-License-Identifier: GPL-3.0-or-later
# The portable Linux build, for the Steam Deck and every distribution without a .deb: the target
# tintwell_portable (`./dev.sh package-portable`) makes
#
#   <build>/tintwell-<version>-linux-x86_64.tar.gz
#
# from the built program, Debian's Qt libraries and plugins and the install rules of Install.cmake,
# with tools/portable/make-portable.sh: copies and run paths, no second compile. What the folder
# holds: docs/packaging.md. Only for a native Linux build against a shared Qt. The tarball's files
# are dated by the newest changelog entry, so that the same source gives the same bytes.
set(TINTWELL_PORTABLE_TARBALL
    ${PROJECT_BINARY_DIR}/tintwell-${PROJECT_VERSION}-linux-x86_64.tar.gz)
set(readme ${PROJECT_BINARY_DIR}/data/portable/README.txt)
configure_file(${PROJECT_SOURCE_DIR}/data/portable/README.txt.in ${readme} @ONLY)

set(tool_dir ${PROJECT_SOURCE_DIR}/tools/portable)
add_custom_command(
    OUTPUT ${TINTWELL_PORTABLE_TARBALL}
    COMMAND bash ${tool_dir}/make-portable.sh ${PROJECT_BINARY_DIR}
            $<TARGET_FILE:Qt6::qtpaths> ${readme} ${TINTWELL_RELEASE_EPOCH}
    DEPENDS tintwell ${readme} ${tool_dir}/make-portable.sh ${tool_dir}/system-libraries.txt
            ${tool_dir}/system-libraries.sh
            ${PROJECT_SOURCE_DIR}/data/portable/install.sh
            ${PROJECT_SOURCE_DIR}/data/portable/uninstall.sh
            ${PROJECT_SOURCE_DIR}/data/io.github.tintwell.Tintwell.desktop ${PROJECT_SOURCE_DIR}/LICENSE
            ${PROJECT_SOURCE_DIR}/data/changelog
    COMMENT "Making tintwell-${PROJECT_VERSION}-linux-x86_64.tar.gz"
    VERBATIM)
add_custom_target(tintwell_portable DEPENDS ${TINTWELL_PORTABLE_TARBALL})
