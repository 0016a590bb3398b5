# shellcheck shell=bash
# Sourced by the scripts that run the game in a virtual X display. x11_session_begin makes a
# scratch folder ($work), which also holds the history of the games played, and arranges for it,
# Xvfb and a game still running ($game_pid) to go when the script exits; x11_session_display starts Xvfb on a free display, with a screen of the
# size it is given (WIDTHxHEIGHT, 1024x768 by default), and exports DISPLAY; x11_keys_begin
# starts one xdotool for the session, and `keys COMMAND...` hands it an xdotool command.
# Third-party libraries (D-Bus and Xlib through SDL) keep a few bytes to the end; LSAN_OPTIONS
# leaves those out, while the game's own leaks would still be reported.

x11_session_begin() {
    work=$(mktemp -d)
    # The games played here are kept in the scratch folder, never in the user's history.
    export XDG_DATA_HOME="$work/data"
    xvfb_pid=""
    game_pid=""
    keys_pid=""
    trap x11_session_end EXIT
    lsan_suppressions="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp"
    export LSAN_OPTIONS="suppressions=$lsan_suppressions:print_suppressions=0"
}

x11_session_end() {
    if [ -n "$game_pid" ]; then kill -KILL "$game_pid" 2>/dev/null || true; fi
    if [ -n "$keys_pid" ]; then kill "$keys_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}

# shellcheck disable=SC2120  # the size is optional
x11_session_display() {
    local size=${1:-1024x768}
    exec 3<>"$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
    [ "$DISPLAY" != ":" ]
}

# One xdotool for the whole session, reading its commands from a pipe: a key then goes out at
# once, where a new xdotool can take a tenth of a second or more to start on a loaded machine.
# Its commands run in order, so a key sent after `windowfocus --sync` goes to the focused window.
x11_keys_begin() {
    mkfifo "$work/keys"
    xdotool - <"$work/keys" >"$work/xdotool.log" 2>&1 &
    keys_pid=$!
    exec 4>"$work/keys"
}

# x11_focus WINDOW: gives the window the keyboard focus, waiting up to 20 s until the X server
# takes it. A window that is not viewable cannot have the focus, and a program may unmap its new
# window and map it again as it starts (Wine does).
x11_focus() {
    local deadline=$((SECONDS + 20))
    until xdotool windowfocus --sync "$1" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

keys() {
    kill -0 "$keys_pid" 2>/dev/null ||
        { echo "xdotool has stopped: $(cat "$work/xdotool.log")" >&2; return 1; }
    echo "$*" >&4
}
