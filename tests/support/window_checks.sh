# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the checks that start the real program and look for its window on an X display
# (Xvfb, xdotool, xwininfo of x11-utils); the sourcing script defines `fail`.
#
# start_display FOLDER starts Xvfb on a free display, notes it in FOLDER/display, exports DISPLAY
# and leaves the server's process id in `xvfb`, for the script to end it.
start_display() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
    # shellcheck disable=SC2034 # the sourcing script ends it
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    DISPLAY=":$(cat "$1/display")"
    export DISPLAY
}
#
# shown_window PID LOG TRIES prints the id of the window "Tintwell (build ...)" that the program
# PID shows, once it has stayed a moment. It fails, with what the program wrote to LOG, when no
# window appears within TRIES half-seconds, when the program ends, or when the window is not shown.
shown_window() {
    local program=$1 log=$2 tries=$3 window=""
    for _ in $(seq "$tries"); do
        window=$(xdotool search --name '^Tintwell \(build' 2>/dev/null | head -n1) || true
        [ -n "$window" ] && break
        kill -0 "$program" 2>/dev/null || break
        sleep 0.5
    done
    [ -n "$window" ] || fail "no window appeared; the program said: $(cat "$log")"
    sleep 3 # drawn, and still there a moment later
    kill -0 "$program" 2>/dev/null || fail "the program ended by itself: $(cat "$log")"
    [[ $(xwininfo -id "$window") == *"Map State: IsViewable"* ]] || fail "its window is not shown"
    echo "$window"
}
