#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tries the Windows release (cmake/WindowsPackage.cmake) under Wine, each check in a fresh prefix
# of its own, made afresh first:
#
#   check_release.sh zip <build>    the zip holds tintwell.exe, LICENSE and README.txt; the program
#                                   is windowed and imports only DLLs that Windows has; with the game
#                                   installed it starts on the windows platform and shows its
#                                   window (on Xvfb) until it is ended
#   check_release.sh setup <build>  setup.exe /S installs the program and a Start-menu entry and
#                                   lists the uninstaller, and adds no other file; the uninstaller
#                                   (/S) takes all of it away again
#
# With SCREENSHOT=<file.png>, `zip` keeps a picture of the window.
set -euo pipefail

mode=$1
build=$(realpath "$2")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
release="$build/release/tintwell-$version-windows-x64"
work="$build/release/check-$mode"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# shellcheck source-path=SCRIPTDIR source=../support/window_checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/window_checks.sh"

cmake --build "$build" --target tintwell_windows_release >/dev/null

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb=""
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# Made without a display; the server ends with it, so the next start finds the display.
DISPLAY="" wineboot --init >/dev/null 2>&1
wineserver -w

# The files below drive C but Windows' own folder and the temporary ones.
drive_c_files() {
    (cd "$WINEPREFIX/drive_c" && find . \( -path ./windows -o -name Temp \) -prune -o -print | sort)
}

check_zip() {
    unzip -q "$release.zip" -d "$work/unzipped"
    local files
    files=$(cd "$work/unzipped" && find . -type f | sort | tr '\n' ' ')
    [ "$files" = "./LICENSE ./README.txt ./tintwell.exe " ] || fail "the zip holds: $files"
    local exe="$work/unzipped/tintwell.exe" headers dlls
    headers=$(x86_64-w64-mingw32-objdump -p "$exe")
    grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" ||
        fail "tintwell.exe is no windowed program: a console would open with it"
    dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
    [ -n "$dlls" ] || fail "objdump finds no imports in tintwell.exe"
    # api-ms-win-* are API sets, names that Windows' loader resolves to its own DLLs.
    for dll in $dlls; do
        [[ ${dll,,} == api-ms-win-* ]] || [ -f "$WINEPREFIX/drive_c/windows/system32/${dll,,}" ] ||
            fail "tintwell.exe needs $dll, which is no DLL of Windows"
    done

    # Call of Duty as its 32-bit installer registers it, and Liberation Mono for the windows'
    # Courier New, which Wine does not have.
    start_display "$work"
    wine reg add 'HKLM\Software\Activision\Call of Duty' /v InstallPath \
        /d 'C:\Games\Call of Duty' /reg:32 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' \
        /d 'Liberation Mono' /f >/dev/null 2>&1
    local cfg="$WINEPREFIX/drive_c/Games/Call of Duty/Main/config_mp.cfg"
    mkdir -p "$(dirname "$cfg")"
    printf 'seta cl_maxpackets "30"\r\nseta name "^1Sgt.^7Rook|^4TW"\r\nseta rate "25000"\r\n' >"$cfg"

    wine "$exe" >"$work/program.log" 2>&1 &
    local program=$! window
    window=$(shown_window "$program" "$work/program.log" 240)
    if [ -n "${SCREENSHOT:-}" ]; then
        import -window "$window" "$SCREENSHOT"
    fi
}

check_setup() {
    local before after key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tintwell'
    local folder='./Program Files/Tintwell'
    before=$(drive_c_files)
    wine "$release-setup.exe" /S >/dev/null 2>&1
    wineserver -w
    after=$(drive_c_files)
    local expected="$folder
$folder/LICENSE
$folder/README.txt
$folder/tintwell.exe
$folder/uninstall.exe
./ProgramData/Microsoft/Windows/Start Menu/Programs/Tintwell.lnk"
    [ "$(comm -13 <(echo "$before") <(echo "$after"))" = "$expected" ] ||
        fail "setup.exe /S added: $(comm -13 <(echo "$before") <(echo "$after"))"
    unzip -p "$release.zip" tintwell.exe | cmp -s - "$WINEPREFIX/drive_c/$folder/tintwell.exe" ||
        fail "the installed tintwell.exe is not the zip's"
    [[ $(wine reg query "$key" /v UninstallString 2>/dev/null) == *'\uninstall.exe"'* ]] ||
        fail "Apps & features lists no uninstaller"

    wine 'C:\Program Files\Tintwell\uninstall.exe' /S >/dev/null 2>&1
    wineserver -w
    after=$(drive_c_files)
    [ "$after" = "$before" ] || fail "the uninstaller left: $(comm -13 <(echo "$before") <(echo "$after"))"
    if wine reg query "$key" >/dev/null 2>&1; then
        fail "the uninstaller left its entry in Apps & features"
    fi
}

"check_$mode"
echo "release $mode: ok"
