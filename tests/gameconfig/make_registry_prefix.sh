#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a fresh Wine prefix in the given folder and stores in its registry, with Wine's own
# `reg add`, the values that RegistryCases.h describes; then waits until Wine has written them
# to the prefix's system.reg. A ctest fixture runs it before the tests that need the prefix.
#
#   make_registry_prefix.sh <prefix folder>
#
# A prefix this script already made with the same Wine is kept as it is: making one takes a
# while, and nothing the tests do changes its registry.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <prefix folder>" >&2
    exit 2
fi
prefix=$(realpath -m "$1")

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No window, and no offer to install Mono or Gecko, which the tests do not need.
unset DISPLAY WAYLAND_DISPLAY
export WINEDLLOVERRIDES="mscoree,mshtml="
# The non-ASCII texts below reach Wine as UTF-8 command-line arguments.
export LC_ALL=C.UTF-8

stamp="$prefix/.tintwell-registry-cases"
wanted="$(wine --version) $(sha256sum <"${BASH_SOURCE[0]}")"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
    exit 0
fi

wineserver -k 2>/dev/null || true # a server left over from an interrupted run
rm -rf "$prefix"
mkdir -p "$prefix"
echo "Making the Wine prefix $prefix"
wineboot --init >/dev/null 2>&1

# add <key below Software\Tintwell Tests> <reg add arguments...>
add() {
    local key=$1
    shift
    wine reg add "HKLM\\Software\\Tintwell Tests\\$key" "$@" /f >/dev/null
}

# The 32-bit view, where the games' installers write.
add Game /v InstallPath /t REG_SZ /d 'C:\Games\Call of Duty' /reg:32
add Game /v Slash /t REG_SZ /d 'C:\Games\Call of Duty\' /reg:32
add Game /v Umlaut /t REG_SZ /d 'C:\Spiele\Größe Über' /reg:32
add Game /v Empty /t REG_SZ /d '' /reg:32
add Game /v Flags /t REG_DWORD /d 0x80000001 /reg:32
add Game /v Expand /t REG_EXPAND_SZ /d '%SystemRoot%\Games' /reg:32
add Game /v Multi /t REG_MULTI_SZ /d 'one\0two' /reg:32
add Game /v Bytes /t REG_BINARY /d 0102ff /reg:32
add Game /v Ärger /t REG_SZ /d 'ä' /reg:32
add Both /v InstallPath /t REG_SZ /d 'thirty-two' /reg:32
add Split /v Other /t REG_SZ /d 'x' /reg:32

# The native view.
add Both /v InstallPath /t REG_SZ /d 'sixty-four'
add NativeOnly /v InstallPath /t REG_SZ /d 'native'
add Split /v InstallPath /t REG_SZ /d 'native'

# The server writes the registry to disk when it ends, a few seconds after its last client.
wineserver -w
grep -q 'Tintwell Tests' "$prefix/system.reg"
echo "$wanted" >"$stamp"
