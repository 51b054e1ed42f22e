#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs Tintwell from the folder this script is in, for you alone: no root, nothing outside
# your home (SteamOS's system is read-only). It makes
#
#   ~/.local/share/tintwell/                   a copy of this folder ($XDG_DATA_HOME/tintwell
#                                              when XDG_DATA_HOME is set to an absolute path)
#   ~/.local/bin/tintwell                      a link to the program
#   ~/.local/share/applications/io.github.tintwell.Tintwell.desktop, ~/.local/share/icons/hicolor/*/apps/tintwell.png
#                                              the menu entry and its icons (also below
#                                              XDG_DATA_HOME when set)
#   ~/.local/share/man/man1/tintwell.1.gz      the manual page, where `man` looks for the pages
#                                              of the programs in ~/.local/bin
#
# and notes in ~/.local/share/tintwell/installed-folders.txt the folders it had to make, so that
# uninstall.sh takes away exactly what this made. Running it again installs the same once more.
set -eu

here=$(cd "$(dirname "$0")" && pwd -P)
case ${XDG_DATA_HOME:-} in
/*) data=$XDG_DATA_HOME ;;
*) data=$HOME/.local/share ;;
esac
target=$data/tintwell
bin=$HOME/.local/bin
manual=$HOME/.local/share/man/man1
entry=$data/applications/io.github.tintwell.Tintwell.desktop
mark='# Installed by Tintwell'"'"'s install.sh; its uninstall.sh removes it.'

fail() {
    echo "install.sh: $*" >&2
    exit 1
}
case $here$data$HOME in
*'
'*) fail "a folder name with a line break is not supported" ;;
esac

# What is in the way and not an earlier install's is left alone.
if [ -e "$target" ] && [ ! -f "$target/tintwell" ] && [ ! -f "$target/install.sh" ]; then
    fail "$target exists and is not Tintwell: move it away first"
fi
if [ -e "$bin/tintwell" ] || [ -L "$bin/tintwell" ]; then
    [ "$(readlink "$bin/tintwell" || true)" = "$target/tintwell" ] ||
        fail "$bin/tintwell exists and is not Tintwell's link: move it away first"
fi
if [ -e "$entry" ] && ! grep -qxF "$mark" "$entry"; then
    fail "$entry exists and is not from this script: move it away first"
fi

# The folders this makes, with those an earlier install made.
made=""
[ ! -f "$target/installed-folders.txt" ] || made=$(cat "$target/installed-folders.txt")
make_folder() {
    [ -d "$1" ] && return 0
    make_folder "$(dirname "$1")"
    mkdir "$1"
    made="$made
$1"
}

# The program's folder, replaced as a whole (unless this is it).
make_folder "$data"
if [ "$here" != "$(cd "$target" 2>/dev/null && pwd -P || true)" ]; then
    rm -rf "$target.new"
    cp -R "$here" "$target.new"
    rm -rf "$target"
    mv "$target.new" "$target"
fi

make_folder "$bin"
ln -sfn "$target/tintwell" "$bin/tintwell"

# The menu entry starts the program by its absolute path, quoted as menu entries quote an Exec
# argument (backslashes, quotes, ` and $ escaped, % doubled).
exec_path=$(printf '%s\n' "$target/tintwell" |
    sed -e 's/\\/\\\\\\\\/g' -e 's/["`$]/\\\\&/g' -e 's/%/%%/g')
make_folder "$data/applications"
{
    echo "$mark"
    sed "s|^Exec=.*|Exec=\"$(printf '%s' "$exec_path" | sed 's/[|&\\]/\\&/g')\"|" \
        "$target/share/applications/io.github.tintwell.Tintwell.desktop"
} >"$entry.new"
mv "$entry.new" "$entry"

for icon in "$target"/share/icons/hicolor/*/apps/tintwell.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    make_folder "$data/icons/hicolor/$size/apps"
    cp "$icon" "$data/icons/hicolor/$size/apps/tintwell.png"
done

make_folder "$manual"
cp "$target/share/man/man1/tintwell.1.gz" "$manual/tintwell.1.gz"

printf '%s\n' "$made" | sed '/^$/d' | sort -u >"$target/installed-folders.txt"

# Caches that a desktop already keeps are brought up to date; none is made.
if [ -f "$data/applications/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data/applications" 2>/dev/null || true
fi
if [ -f "$data/icons/hicolor/icon-theme.cache" ] &&
    command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t "$data/icons/hicolor" 2>/dev/null || true
fi

echo "Installed Tintwell into $target: it is in your menu under Games, $bin/tintwell starts it"
echo "and \"man tintwell\" explains it."
echo "To remove it: \"$target/uninstall.sh\""
