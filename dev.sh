#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Set-up, build, run and test on Debian 12. Idempotent: installs only what is missing, configures
# only once, and says nothing when there is nothing to do.
#
#   ./dev.sh run    build and open Tintwell on the bundled sample game install (demo/)
#   ./dev.sh test   build and run the whole test suite with ctest
#   ./dev.sh bench  build and print the benchmark table (start-up, memory, saves, colour codes)
#   ./dev.sh test-sanitized  the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   ./dev.sh test-windows  build Tintwell for Windows and run the whole test suite under Wine
#   ./dev.sh package-windows  build the Windows zip and installer in build-windows/release/
#   ./dev.sh package  build the Debian package build/tintwell_<version>-1_<arch>.deb
#   ./dev.sh package-portable  build build/tintwell-<version>-linux-x86_64.tar.gz, Tintwell with
#                     its Qt for any x86-64 Linux with glibc 2.36+ (the Steam Deck's SteamOS too)
#   ./dev.sh check-reproducible  build both Linux packages twice from clean clones and compare
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$here/build"
# The same build with the sanitizers, in a folder of its own (fuzzing is sanitized already).
sanitized_build="$here/build-sanitized"
packages=(cmake ninja-build g++ qt6-base-dev libyaml-cpp-dev nlohmann-json3-dev fonts-liberation googletest)
# dpkg-parsechangelog reads data/changelog; scdoc makes the manual page.
packages+=(dpkg-dev scdoc)
# The validators of the menu entry and the AppStream data, which the tests run; Clang with its
# fuzzer runtime, with which the tests fuzz the file readers; patchelf for the portable build,
# whose window the tests look for on Xvfb (xdotool, xwininfo of x11-utils).
test_packages=(desktop-file-utils appstream clang libclang-rt-14-dev patchelf xvfb xdotool x11-utils)
# Debian's checks of a package, which the tests run on the .deb.
test_packages+=(lintian)
# dpkg-shlibdeps (which needs `file`) names the packages of the libraries the program links.
package_packages=(dpkg-dev file)
# The portable build sets its libraries' run paths with patchelf.
portable_packages=(patchelf)

# The Windows build: MinGW-w64 compiles it against a static Qt for Windows built once from
# Debian's qt6-base source (tools/windows/build-qt.sh, which needs the host's Qt tools and
# dpkg-dev), Wine runs its tests, NSIS makes the installer, and the release's checks start the
# program on Xvfb and look for its window. The build also configures this project natively, for
# the tools it runs while building (tools/artgen), so it needs the native build's packages too.
windows_build="$here/build-windows"
windows_packages=("${packages[@]}" g++-mingw-w64-x86-64 wine qt6-base-dev-tools nsis unzip xvfb
    xdotool x11-utils imagemagick)

# The reproducibility check clones the repository, makes both Linux packages and shows how two
# builds of one differ.
reproducible_packages=(git diffoscope-minimal patchelf)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# build_in FOLDER TARGET [CMAKE OPTION...]: configures FOLDER with the options, afresh when they
# differ from the ones it was configured with (an option left out takes its default again), then
# builds TARGET ("all" for everything).
build_in() {
    local folder=$1 target=$2
    shift 2
    if [ ! -f "$folder/build.ninja" ] || [ "$(cat "$folder/dev-options" 2>/dev/null)" != "$*" ]; then
        echo "Configuring and building in $folder (the first build takes a few minutes)"
        rm -f "$folder/CMakeCache.txt"
        cmake -S "$here" -B "$folder" -G Ninja -Wno-dev "$@" >/dev/null
        echo "$*" >"$folder/dev-options"
    fi
    # Warnings and errors are worth showing; the note that all is up to date is not.
    cmake --build "$folder" -j2 --target "$target" -- --quiet 2>&1 |
        { grep -v '^ninja: no work to do\.$' || true; }
}

# build_windows TARGET: the Windows build, against the Qt for Windows in the cache (built first when
# missing).
build_windows() {
    local qt
    qt=$("$here/tools/windows/build-qt.sh")
    build_in "$windows_build" "$1" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr -DTINTWELL_WITH_QT=ON
}

# A copy of the sample prefix in the build folder, so the committed one never changes, with the
# drive links that cannot be committed (a file name with a colon cannot be checked out on
# Windows), laid out by the helper the tests and the bench use.
prepare_demo_prefix() {
    local prefix="$build/demo-prefix"
    rm -rf "$prefix"
    cp -r "$here/demo" "$prefix"
    "$build/tests/support/tintwell_wine_drives" "$prefix"
    echo "$prefix"
}

# CPack gives the files of the package the last commit's time, when there is a commit to ask.
use_last_commit_time() {
    local time
    time=$(git -C "$here" log -1 --format=%ct 2>/dev/null) || return 0
    export SOURCE_DATE_EPOCH=$time
}

# package_in_clone FOLDER: clones the last commit into FOLDER, builds only the program there (no
# tests) and makes its Debian package and its portable build in FOLDER/build.
package_in_clone() {
    local clone=$1 output
    git clone --quiet --no-hardlinks "$here" "$clone"
    cmake -S "$clone" -B "$clone/build" -G Ninja -Wno-dev -DTINTWELL_BUILD_TESTS=OFF >/dev/null
    cmake --build "$clone/build" -j2 --target tintwell tintwell_portable -- --quiet
    output=$(cd "$clone/build" && umask 022 && cpack --config CPackConfig.cmake 2>&1) || {
        echo "$output" >&2
        return 1
    }
}

# Two builds of the last commit, in folders of different names and depths, a minute apart at
# least, with different time zones and umasks, must make the same bytes, both the Debian package
# and the portable build; diffoscope shows where they differ when they do not.
check_reproducible() {
    local started wait first second package differ=0
    # Not local: the trap removes it when the script ends.
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/tintwell-reproducible.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT
    use_last_commit_time
    echo "Building the packages of $(git -C "$here" log -1 --format=%h) twice (a few minutes each)"
    started=$SECONDS
    (umask 022 && TZ=UTC package_in_clone "$scratch/first")
    wait=$((60 - (SECONDS - started)))
    [ "$wait" -le 0 ] || sleep "$wait"
    (umask 002 && TZ=XYZ-14 package_in_clone "$scratch/second/in/another/folder")
    for package in 'tintwell_*.deb' 'tintwell-*-linux-x86_64.tar.gz'; do
        # shellcheck disable=SC2086,SC2116 # the pattern names the one file that each build made
        first=$(echo "$scratch"/first/build/$package)
        # shellcheck disable=SC2086,SC2116
        second=$(echo "$scratch"/second/in/another/folder/build/$package)
        if cmp -s "$first" "$second"; then
            echo "Reproducible: both builds made $(basename "$first"), sha256 $(sha256sum <"$first" | cut -d' ' -f1)"
        else
            echo "Not reproducible: the two builds made different $(basename "$first")" >&2
            diffoscope --no-progress "$first" "$second" >&2 || true
            differ=1
        fi
    done
    return $differ
}

case "${1:-}" in
run)
    install_missing_packages "${packages[@]}"
    build_in "$build" all
    prefix=$(prepare_demo_prefix)
    WINEPREFIX="$prefix" "$build/src/tintwell"
    ;;
bench)
    install_missing_packages "${packages[@]}"
    build_in "$build" all
    "$build/bench/tintwell_bench"
    ;;
test)
    install_missing_packages "${packages[@]}" "${test_packages[@]}"
    build_in "$build" all
    ctest --test-dir "$build" -j2 --output-on-failure --no-tests=error
    ;;
test-sanitized)
    install_missing_packages "${packages[@]}" "${test_packages[@]}"
    build_in "$sanitized_build" all -DTINTWELL_SANITIZE=ON
    ctest --test-dir "$sanitized_build" -j2 --output-on-failure --no-tests=error
    ;;
test-windows)
    install_missing_packages "${windows_packages[@]}"
    build_windows all
    ctest --test-dir "$windows_build" -j2 --output-on-failure --no-tests=error
    ;;
package-windows)
    install_missing_packages "${windows_packages[@]}"
    build_windows tintwell_windows_release
    ls "$windows_build"/release/tintwell-*-windows-x64.zip "$windows_build"/release/tintwell-*-windows-x64-setup.exe
    ;;
package)
    install_missing_packages "${packages[@]}" "${package_packages[@]}"
    build_in "$build" all
    use_last_commit_time
    # Quiet but for the package's path; everything CPack said when it fails. CPack gives the
    # package's own parts the permissions the umask leaves, so it is set as Debian's tools have it.
    output=$(umask 022 && cpack --config "$build/CPackConfig.cmake" -B "$build" 2>&1) || {
        echo "$output" >&2
        exit 1
    }
    sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$output"
    ;;
package-portable)
    install_missing_packages "${packages[@]}" "${portable_packages[@]}"
    build_in "$build" tintwell_portable
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    ls "$build/tintwell-$version-linux-x86_64.tar.gz"
    ;;
check-reproducible)
    install_missing_packages "${packages[@]}" "${package_packages[@]}" "${reproducible_packages[@]}"
    check_reproducible
    ;;
*)
    echo "usage: $0 run|test|test-sanitized|test-windows|package|package-portable|package-windows|check-reproducible|bench" >&2
    exit 2
    ;;
esac
