#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the portable Linux build (cmake/PortablePackage.cmake), each check on a fresh unpacked
# copy of the tarball:
#
#   check_portable.sh tarball <build>    makes the tarball (the setup of the others)
#   check_portable.sh libraries <build>  the folder's layout; ldd on the program, every bundled
#                                        library and plugin: every libQt6* resolves inside the
#                                        folder and nothing outside it but what
#                                        tools/portable/system-libraries.txt allows; nothing
#                                        needs a glibc newer than 2.36
#   check_portable.sh window <build>     with the system's Qt libraries, Qt plugins and
#                                        Liberation fonts hidden (a private mount namespace), the
#                                        program shows its window on Xvfb, with Qt and the font
#                                        from its folder; skipped (77) where namespaces are not
#                                        allowed
#   check_portable.sh install <build>    install.sh (twice) and uninstall.sh in a throwaway home
#                                        with a space in its name leave it as it was; in between
#                                        the menu entry starts the program by its absolute path,
#                                        and the link resolves to it
#
# With SCREENSHOT=<file.png>, `window` keeps a picture of the screen.
set -euo pipefail

# Inside the private mount namespace (unshare -m): hides the system's Qt libraries and plugins,
# its copies of every other bundled library and its Liberation fonts, then becomes the program.
# check_portable.sh run-hidden <bundle> <scratch folder>
run_hidden() {
    local bundle=$1 empty_file=$2/empty-file empty_folder=$2/empty-folder file name
    : >"$empty_file"
    mkdir -p "$empty_folder"
    mount --make-rprivate /
    for file in /usr/lib/x86_64-linux-gnu/libQt6*.so*; do
        [ -L "$file" ] || mount --bind "$empty_file" "$file"
    done
    for name in "$bundle"/lib/*; do
        file=$(realpath -q "/usr/lib/x86_64-linux-gnu/${name##*/}") || continue
        [ ! -f "$file" ] || mount --bind "$empty_file" "$file"
    done
    for file in /usr/lib/x86_64-linux-gnu/qt6/plugins /usr/share/fonts/truetype/liberation; do
        [ ! -d "$file" ] || mount --bind "$empty_folder" "$file"
    done
    exec "$bundle/tintwell"
}

if [ "$1" = run-hidden ]; then
    run_hidden "$2" "$3"
fi

mode=$1
build=$(realpath "$2")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
tarball=$build/tintwell-$version-linux-x86_64.tar.gz
work=$build/tests/portable/check-$mode
bundle=$work/tintwell-$version

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if [ "$mode" = tarball ]; then
    cmake --build "$build" --target tintwell_portable >/dev/null
    [ -f "$tarball" ] || fail "no $tarball"
    echo "portable tarball: $(du -h "$tarball" | cut -f1) $tarball"
    exit 0
fi

xvfb=""
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$work"
mkdir -p "$work"
tar -C "$work" -xzf "$tarball"
[ "$(ls "$work")" = "tintwell-$version" ] || fail "the tarball unpacks into: $(ls "$work")"

# shellcheck source-path=SCRIPTDIR source=../../tools/portable/system-libraries.sh
source "$source_dir/tools/portable/system-libraries.sh"
# shellcheck source-path=SCRIPTDIR source=../support/window_checks.sh
source "$source_dir/tests/support/window_checks.sh"

check_libraries() {
    local wanted
    for wanted in tintwell qt.conf LICENSE README.txt install.sh uninstall.sh \
        lib/libQt6Core.so.6 lib/libQt6Gui.so.6 lib/libQt6Widgets.so.6 lib/libQt6XcbQpa.so.6 \
        plugins/platforms/libqxcb.so plugins/platforms/libqoffscreen.so \
        plugins/xcbglintegrations/libqxcb-glx-integration.so \
        fonts/LiberationMono-Regular.ttf fonts/LiberationMono-Bold.ttf \
        licenses/libqt6core6 licenses/fonts-liberation \
        share/applications/io.github.tintwell.Tintwell.desktop share/icons/hicolor/256x256/apps/tintwell.png \
        share/metainfo/io.github.tintwell.Tintwell.metainfo.xml; do
        [ -e "$bundle/$wanted" ] || fail "the folder lacks $wanted"
    done
    for wanted in tintwell install.sh uninstall.sh; do
        [ -x "$bundle/$wanted" ] || fail "$wanted is not executable"
    done

    local files file line name path needed version newest="2.0"
    mapfile -t files < <(cd "$bundle" && find tintwell lib plugins -type f | sort)
    for file in "${files[@]}"; do
        case $file in tintwell | *.so | *.so.*) ;; *) fail "not a library: $file" ;; esac
        if is_system_library "$(basename "$file")"; then
            fail "$file is bundled, but the system's should be used"
        fi
        # What it names itself must be in the folder or allowed; what the system's libraries
        # need in turn is theirs. Nothing may be missing, and no Qt may come from outside.
        needed=" $(objdump -p "$bundle/$file" | awk '$1 == "NEEDED" { printf "%s ", $2 }')"
        while read -r line; do
            # name => path (address), or name => not found, or the loader's own line.
            [[ $line == *"=>"* ]] || continue
            read -r name _ path _ <<<"$line"
            [ "$path" != not ] || fail "$file: $name is not found"
            path=$(realpath -m "$path")
            case $path in
            "$bundle"/lib/*) ;;
            *)
                [[ $name != libQt6* ]] || fail "$file: $name resolves outside the folder: $path"
                [[ $needed != *" $name "* ]] || is_system_library "$name" ||
                    fail "$file: $name resolves outside the folder ($path) and is not allowed"
                ;;
            esac
        done < <(ldd "$bundle/$file")
        # The glibc versions it asks for.
        for version in $(objdump -T "$bundle/$file" | grep -o 'GLIBC_[0-9.]*' | sort -u); do
            version=${version#GLIBC_}
            newest=$(printf '%s\n%s\n' "$newest" "$version" | sort -V | tail -n1)
        done
    done
    [ "$(printf '%s\n2.36\n' "$newest" | sort -V | tail -n1)" = 2.36 ] ||
        fail "something needs glibc $newest, newer than 2.36"
    ldd "$bundle/tintwell" | grep -F "libQt6Core.so.6 => $bundle/lib/libQt6Core.so.6" >/dev/null ||
        fail "the program does not resolve libQt6Core.so.6 in the folder"
    echo "portable libraries: ${#files[@]} files, newest glibc needed: $newest"
}

check_window() {
    local unshare=(unshare -m)
    [ "$(id -u)" -eq 0 ] || unshare=(unshare -r -m)
    if ! "${unshare[@]}" true 2>/dev/null; then
        echo "SKIP: no private mount namespace here (${unshare[*]} is not allowed)"
        exit 77
    fi
    local tool
    for tool in Xvfb xdotool xwininfo; do
        command -v "$tool" >/dev/null ||
            fail "needs Xvfb, xdotool and xwininfo (apt install xvfb xdotool x11-utils)"
    done

    # The sample game install, as dev.sh run prepares it.
    cp -r "$source_dir/demo" "$work/prefix"
    "$build/tests/support/tintwell_wine_drives" "$work/prefix"

    start_display "$work"

    # No platform named: Qt picks xcb itself, as on a desktop.
    env -u QT_QPA_PLATFORM -u QT_PLUGIN_PATH -u LD_LIBRARY_PATH WINEPREFIX="$work/prefix" \
        "${unshare[@]}" bash "$0" run-hidden "$bundle" "$work" >"$work/program.log" 2>&1 &
    local program=$!
    shown_window "$program" "$work/program.log" 120 >/dev/null

    local maps
    maps=$(cat "/proc/$program/maps")
    for file in lib/libQt6Core.so.6 lib/libQt6Widgets.so.6 lib/libQt6XcbQpa.so.6 \
        plugins/platforms/libqxcb.so fonts/LiberationMono-; do
        grep -qF "$bundle/$file" <<<"$maps" ||
            fail "the program has not loaded $file from its folder"
    done
    if grep -E '/usr/lib/x86_64-linux-gnu/(libQt6|qt6/)' <<<"$maps"; then
        fail "the program has loaded the system's Qt"
    fi
    if [ -n "${SCREENSHOT:-}" ]; then
        import -window root "$SCREENSHOT"
    fi
    kill "$program"
    wait "$program" 2>/dev/null || true
    echo "portable window: shown, with Qt and Liberation Mono from the folder"
}

# Every folder, file and link below the home, with its mode, size and link target.
listing() {
    (cd "$HOME" &&
        find . \( -type d -printf '%y %m %p\n' \) -o -printf '%y %m %s %p -> %l\n' | sort)
}

check_install() {
    local before after entry exec
    export HOME="$work/home of a player"
    unset XDG_DATA_HOME
    # Files of the player's own in the same folders, which must stay.
    mkdir -p "$HOME/.local/share/applications" "$HOME/.local/share/icons/hicolor/48x48/apps"
    echo "[Desktop Entry]" >"$HOME/.local/share/applications/other.desktop"
    echo "other icon" >"$HOME/.local/share/icons/hicolor/48x48/apps/other.png"
    before=$(listing)

    "$bundle/install.sh" >"$work/install.log"
    "$bundle/install.sh" >>"$work/install.log" # twice is once
    local target="$HOME/.local/share/tintwell"
    [ -x "$target/tintwell" ] || fail "install.sh put no program into $target"
    [ "$(readlink -f "$HOME/.local/bin/tintwell")" = "$target/tintwell" ] ||
        fail "$HOME/.local/bin/tintwell does not lead to the installed program"
    # Started through the link, as the loader sees it (ldd would take the link's folder for the
    # program's, which a real start does not).
    LD_TRACE_LOADED_OBJECTS=1 "$HOME/.local/bin/tintwell" |
        grep -F "libQt6Core.so.6 => $target/lib/libQt6Core.so.6" >/dev/null ||
        fail "the program started through the link does not take Qt from its folder"
    entry="$HOME/.local/share/applications/io.github.tintwell.Tintwell.desktop"
    exec=$(sed -n 's/^Exec=//p' "$entry")
    [ "$exec" = "\"$target/tintwell\"" ] || fail "the menu entry starts $exec"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "the installed menu entry is not valid"
    fi
    for size in 32 48 64 128 256; do
        cmp -s "$bundle/share/icons/hicolor/${size}x${size}/apps/tintwell.png" \
            "$HOME/.local/share/icons/hicolor/${size}x${size}/apps/tintwell.png" ||
            fail "the ${size}x${size} icon is not installed"
    done
    if command -v man >/dev/null; then
        [ "$(PATH="$HOME/.local/bin:$PATH" MANPATH='' man -w tintwell)" = \
            "$HOME/.local/share/man/man1/tintwell.1.gz" ] || fail "man does not find the manual page"
    fi

    "$target/uninstall.sh" >"$work/uninstall.log"
    after=$(listing)
    [ "$after" = "$before" ] ||
        fail "install.sh and uninstall.sh changed the home: $(diff <(echo "$before") <(echo "$after"))"
    "$bundle/uninstall.sh" >>"$work/uninstall.log" # nothing left to do

    # Below XDG_DATA_HOME when that is an absolute path.
    export XDG_DATA_HOME="$HOME/data home"
    "$bundle/install.sh" >>"$work/install.log"
    if [ ! -x "$XDG_DATA_HOME/tintwell/tintwell" ] ||
        [ ! -f "$XDG_DATA_HOME/applications/io.github.tintwell.Tintwell.desktop" ]; then
        fail "install.sh ignored XDG_DATA_HOME"
    fi
    "$bundle/uninstall.sh" >>"$work/uninstall.log"
    after=$(listing)
    [ "$after" = "$before" ] ||
        fail "with XDG_DATA_HOME, the home changed:$(diff <(echo "$before") <(echo "$after"))"
    echo "portable install: $(head -n1 "$work/install.log")"
}

case $mode in
libraries) check_libraries ;;
window) check_window ;;
install) check_install ;;
*) fail "unknown check $mode" ;;
esac
