# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the checks that start the real program and look for its window on an X display
# (xdotool, xwininfo of x11-utils); the sourcing script defines `fail`.
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
