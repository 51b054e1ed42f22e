#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a minimal static Qt for 64-bit Windows (MinGW-w64) from Debian's own qt6-base source, of
# the same version as the host Qt tools a Qt 6 cross build needs. Installs it into a cache folder
# outside the clone and prints that folder. Later runs reuse it; a stamp of the version and the
# options makes a change of either build it again.
#
#   tools/windows/build-qt.sh   -> progress on stderr, the Qt folder on stdout
#
# Needs: dpkg-dev, qt6-base-dev, qt6-base-dev-tools, g++-mingw-w64-x86-64, cmake, ninja-build.
# Takes about 15 minutes of two cores, 800 MiB of memory and 2.5 GB of disk while it builds.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
toolchain="$here/cmake/mingw-w64-x86_64.cmake"
package_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools) # e.g. 6.4.2+dfsg-10
qt_version=${package_version%%[+-]*}                                 # e.g. 6.4.2
home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
cache="${XDG_CACHE_HOME:-$home/.cache}/tintwell"
prefix="$cache/qt-$qt_version-mingw-w64-static"
work="$cache/qt-$qt_version-build"
log="$cache/qt-$qt_version-build.log"

# Only what Tintwell and its tests use: Core, Gui, Widgets and Test with the windows, offscreen
# and minimal platforms. The dfsg source has no wintab, hence no tablet events; FreeType stays,
# the offscreen platform draws with it; direct2d stays, Qt 6.4.2 links nothing without it.
options=(-release -static -static-runtime -xplatform win32-g++ -qt-host-path /usr
    -nomake examples -nomake tests -no-opengl -no-dbus -no-icu
    -no-feature-network -no-feature-sql -no-feature-printsupport -no-feature-concurrent
    -no-feature-xml -no-feature-tabletevent -no-feature-vulkan -no-feature-androiddeployqt
    -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -qt-harfbuzz)
stamp_text="qt6-base $package_version
${options[*]}
toolchain $(sha256sum <"$toolchain" | cut -d' ' -f1)"

# One line per stage, with the minutes since the build began.
say() { echo "Qt for Windows [$((SECONDS / 60)) min]: $*" >&2; }

stage=""
fail() {
    say "failed while $stage; the full log is $log"
    exit 1
}

mkdir -p "$cache"
# One build at a time: a second caller waits for the first and then reuses its Qt.
exec 9>"$cache/qt-build.lock"
flock 9

if [ -f "$prefix/tintwell-stamp" ] && [ "$(cat "$prefix/tintwell-stamp")" = "$stamp_text" ]; then
    echo "$prefix"
    exit 0
fi

trap fail ERR
SECONDS=0
rm -rf "$prefix" "$work"
mkdir -p "$work"
: >"$log"

# The source comes through a private apt state with deb-src entries made from the machine's own
# apt sources, so the system's apt configuration stays as it is.
stage="fetching the qt6-base $package_version source"
say "$stage"
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] || continue
    sed 's/^Types:.*/Types: deb-src/' "$sources" >"$apt_dir/sources.list.d/$(basename "$sources")"
done
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [ -f "$list" ]; then sed -n 's/^deb \(.*\)/deb-src \1/p' "$list"; fi
done >"$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d" -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache" -o "APT::Sandbox::User=root")
apt-get "${apt_options[@]}" update >>"$log" 2>&1
(cd "$work" && apt-get "${apt_options[@]}" source "qt6-base=$package_version") >>"$log" 2>&1
source_dir=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[ -n "$source_dir" ]

stage="configuring"
say "$stage"
mkdir -p "$work/build"
(cd "$work/build" && "$source_dir/configure" -prefix "$prefix" "${options[@]}" \
    -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >>"$log" 2>&1

stage="building (about 15 minutes on two cores)"
say "$stage"
nice -n 10 cmake --build "$work/build" --parallel 2 >>"$log" 2>&1

stage="installing into $prefix"
say "$stage"
cmake --install "$work/build" >>"$log" 2>&1
echo "$stamp_text" >"$prefix/tintwell-stamp"

stage="removing the build folder"
rm -rf "$work"
say "ready in $prefix"
echo "$prefix"
