#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the portable Linux build from a built build folder, with no compiling: copies and run
# paths only. Run by the target tintwell_portable (cmake/PortablePackage.cmake, which names the
# arguments; `./dev.sh package-portable`):
#
#   make-portable.sh <build> <qtpaths of the Qt it links> <README.txt> <date of the files>
#
# writes <build>/tintwell-<version>-linux-x86_64.tar.gz (the same bytes from the same build: names
# sorted, every file dated <date of the files> in seconds since 1970, no owner), which unpacks into tintwell-<version>/:
#
#   tintwell, qt.conf         the program; qt.conf points Qt to plugins/ beside it
#   lib/                      Qt and every library it needs that the system may lack
#   plugins/                  the Qt plugins that open a window on X11 (and offscreen)
#   fonts/                    Liberation Mono, the windows' stand-in for Courier New
#   share/                    the menu entry, icons and AppStream data of `cmake --install`
#   licenses/                 Debian's copyright file of every package a bundled file is from
#   install.sh, uninstall.sh  a per-user install into ~/.local, and its removal
#   README.txt, LICENSE
#
# Which libraries stay the system's: system-libraries.txt beside this script. The bundled files
# find each other through run paths relative to themselves ($ORIGIN).
set -euo pipefail
umask 022

build=$(realpath "$1")
qt_plugins=$("$2" --query QT_INSTALL_PLUGINS)
readme=$3
date=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=tintwell-$version
folder=$build/portable/$name
tarball=$build/$name-linux-x86_64.tar.gz

# The Qt plugins the program needs: the X11 platform and its OpenGL integrations, the offscreen
# platform (tests, machines without a display), and typing through the compose key or IBus (that
# many desktops name in QT_IM_MODULE; without its plugin Qt would take no input method at all). No
# image formats: the pictures are PNGs, which Qt reads itself.
plugins=(platforms/libqxcb.so platforms/libqoffscreen.so
    xcbglintegrations/libqxcb-glx-integration.so xcbglintegrations/libqxcb-egl-integration.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
    platforminputcontexts/libibusplatforminputcontextplugin.so)
# The windows' font where the system lacks Courier New and Liberation Mono (fonts-liberation).
fonts=(/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf
    /usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf)

fail() {
    echo "make-portable.sh: $*" >&2
    exit 1
}
command -v patchelf >/dev/null || fail "needs patchelf (apt install patchelf)"

# shellcheck source-path=SCRIPTDIR source=system-libraries.sh
source "$here/system-libraries.sh"

# bundle_needs FILE: copies into lib/ each library FILE names (DT_NEEDED) that is not the
# system's, then what that one needs, and so on; `sources` keeps where each one came from.
declare -A sources=()
bundle_needs() {
    local file=$1 resolved needed path
    resolved=$(ldd "$file")
    for needed in $(objdump -p "$file" | awk '$1 == "NEEDED" { print $2 }'); do
        is_system_library "$needed" && continue
        [ -z "${sources[$needed]:-}" ] || continue
        path=$(awk -v name="$needed" '$1 == name && $2 == "=>" { print $3 }' <<<"$resolved")
        [ -f "$path" ] || fail "$(basename "$file") needs $needed, which this machine does not have"
        sources[$needed]=$path
        cp -L "$path" "$folder/lib/$needed"
        chmod 0644 "$folder/lib/$needed"
        bundle_needs "$path"
    done
}

rm -rf "$build/portable" "$tarball"
mkdir -p "$folder/lib" "$folder/fonts" "$folder/licenses"

# The program and its data, as the Debian package has them (cmake/Install.cmake), stripped.
cmake --install "$build" --prefix "$build/portable/stage" --strip >/dev/null
mv "$build/portable/stage/bin/tintwell" "$folder/tintwell"
mv "$build/portable/stage/share" "$folder/share"
# Debian's changelog, copyright and lintian notes are the .deb's; the folder has its own licenses/.
rm -rf "$build/portable/stage" "$folder/share/doc" "$folder/share/lintian"
bundle_needs "$folder/tintwell"
for plugin in "${plugins[@]}"; do
    mkdir -p "$folder/plugins/$(dirname "$plugin")"
    cp "$qt_plugins/$plugin" "$folder/plugins/$plugin"
    sources[$plugin]=$qt_plugins/$plugin
    bundle_needs "$qt_plugins/$plugin"
done

# Run paths: RPATH rather than RUNPATH, so that an LD_LIBRARY_PATH (Steam sets one for the
# programs it starts) cannot put another Qt under the bundled plugins.
# shellcheck disable=SC2016 # $ORIGIN is the loader's, not the shell's
patchelf --force-rpath --set-rpath '$ORIGIN/lib' "$folder/tintwell"
for library in "$folder"/lib/*; do
    # shellcheck disable=SC2016
    patchelf --force-rpath --set-rpath '$ORIGIN' "$library"
done
for plugin in "${plugins[@]}"; do
    # shellcheck disable=SC2016
    patchelf --force-rpath --set-rpath '$ORIGIN/../../lib' "$folder/plugins/$plugin"
done
# Qt reads qt.conf beside the program: plugins from the bundle, never the system's.
printf '[Paths]\nPrefix = .\nPlugins = plugins\n' >"$folder/qt.conf"

cp "${fonts[@]}" "$folder/fonts/"
for font in "${fonts[@]}"; do
    sources[$(basename "$font")]=$font
done
# The licence of every bundled library, plugin and font, as its Debian package states it (asked
# by file name: with the merged /usr, dpkg may know a file under /lib or under /usr/lib).
patterns=()
for source in "${sources[@]}"; do
    patterns+=("*/$(basename "$(realpath "$source")")")
done
for package in $(dpkg -S "${patterns[@]}" | sed 's/[:,].*//' | sort -u); do
    cp "/usr/share/doc/$package/copyright" "$folder/licenses/$package"
done

cp "$source_dir/LICENSE" "$readme" "$folder/"
install -m 0755 "$source_dir/data/portable/install.sh" "$source_dir/data/portable/uninstall.sh" \
    "$folder/"

tar -C "$build/portable" --sort=name --mtime="@$date" --owner=0 --group=0 --numeric-owner \
    -cf - "$name" | gzip -9 -n >"$tarball"
