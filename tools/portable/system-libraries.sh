# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by make-portable.sh and by the portable build's checks: is_system_library NAME tells
# whether a library of that file name stays the system's (system-libraries.txt beside this file,
# one shell pattern per line).
mapfile -t system_libraries < <(sed -e 's/#.*//' -e '/^\s*$/d' \
    "$(dirname "${BASH_SOURCE[0]}")/system-libraries.txt")
is_system_library() {
    local pattern
    for pattern in "${system_libraries[@]}"; do
        # shellcheck disable=SC2053 # the list holds shell patterns
        [[ $1 == $pattern ]] && return 0
    done
    return 1
}
