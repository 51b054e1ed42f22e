#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Removes what install.sh made, and nothing else: the folder ~/.local/share/tintwell (or
# $XDG_DATA_HOME/tintwell), the link ~/.local/bin/tintwell if it still points there, the menu
# entry if install.sh wrote it, the icons and the manual page if they are Tintwell's, and then the folders that
# install.sh had to make, where they are empty again. Works from any copy of the folder, the
# installed one included; running it again does nothing more.
set -eu

case ${XDG_DATA_HOME:-} in
/*) data=$XDG_DATA_HOME ;;
*) data=$HOME/.local/share ;;
esac
target=$data/tintwell
bin=$HOME/.local/bin
manual=$HOME/.local/share/man/man1/tintwell.1.gz
entry=$data/applications/io.github.tintwell.Tintwell.desktop
mark='# Installed by Tintwell'"'"'s install.sh; its uninstall.sh removes it.'

if [ ! -d "$target" ]; then
    echo "Tintwell is not installed in $target: nothing to remove."
    exit 0
fi
# Read before the folder goes: the folders install.sh made.
made=""
[ ! -f "$target/installed-folders.txt" ] || made=$(cat "$target/installed-folders.txt")

if [ -L "$bin/tintwell" ] && [ "$(readlink "$bin/tintwell")" = "$target/tintwell" ]; then
    rm -f "$bin/tintwell"
fi
if [ -f "$entry" ] && grep -qxF "$mark" "$entry"; then
    rm -f "$entry"
fi
for icon in "$target"/share/icons/hicolor/*/apps/tintwell.png; do
    [ -f "$icon" ] || continue
    size=$(basename "$(dirname "$(dirname "$icon")")")
    installed=$data/icons/hicolor/$size/apps/tintwell.png
    if [ -f "$installed" ] && cmp -s "$icon" "$installed"; then
        rm -f "$installed"
    fi
done
if [ -f "$manual" ] && cmp -s "$target/share/man/man1/tintwell.1.gz" "$manual"; then
    rm -f "$manual"
fi
rm -rf "$target"

# Deepest first; a folder that holds anything else stays.
printf '%s\n' "$made" | sed '/^$/d' | sort -r | while IFS= read -r folder; do
    rmdir "$folder" 2>/dev/null || true
done

if [ -f "$data/applications/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data/applications" 2>/dev/null || true
fi
if [ -f "$data/icons/hicolor/icon-theme.cache" ] &&
    command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t "$data/icons/hicolor" 2>/dev/null || true
fi

echo "Removed Tintwell from $target, with its menu entry, icons, manual page and the link $bin/tintwell."
