#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12. Idempotent: installs only what is missing, configures
# only once, and says nothing when there is nothing to do.
#
#   ./dev.sh run    build and open Tintwell on the bundled sample game install (demo/)
#   ./dev.sh test   build and run the whole test suite with ctest
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$here/build"
packages=(cmake ninja-build g++ qt6-base-dev fonts-liberation googletest)

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

build_all() {
    if [ ! -f "$build/build.ninja" ]; then
        echo "Configuring and building in $build (the first build takes a few minutes)"
        cmake -S "$here" -B "$build" -G Ninja -Wno-dev >/dev/null
    fi
    # Warnings and errors are worth showing; the note that all is up to date is not.
    cmake --build "$build" -j2 -- --quiet 2>&1 | { grep -v '^ninja: no work to do\.$' || true; }
}

# A copy of the sample prefix in the build folder, so the committed one never changes, with the
# drive link that cannot be committed (a file name with a colon cannot be checked out on Windows).
prepare_demo_prefix() {
    local prefix="$build/demo-prefix"
    rm -rf "$prefix"
    cp -r "$here/demo" "$prefix"
    mkdir -p "$prefix/dosdevices"
    ln -s ../drive_c "$prefix/dosdevices/c:"
    ln -s / "$prefix/dosdevices/z:"
    echo "$prefix"
}

case "${1:-}" in
run)
    install_missing_packages "${packages[@]}"
    build_all
    prefix=$(prepare_demo_prefix)
    WINEPREFIX="$prefix" "$build/src/tintwell"
    ;;
test)
    install_missing_packages "${packages[@]}"
    build_all
    ctest --test-dir "$build" -j2 --output-on-failure
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
