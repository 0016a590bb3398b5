#!/usr/bin/env bash
# The window's scale on a 3840 by 2160 screen: with WindowScale = 1 the client area is 512 by 448;
# by default it is 1024 by 896, each pixel of the same frame a 2 by 2 square of its colour.
# Usage: scaled_window_test.sh <taspo> <x11_probe> <button.bmp>
set -euo pipefail
taspo=$1 probe=$2 button=$3

fail() { echo "scaled window: $*" >&2; exit 1; }

# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
x11_session_display 3840x2160 || fail "Xvfb did not start"
cp "$button" "$work/button.bmp"
# A taspo.cfg of the user's would decide the default.
export XDG_CONFIG_HOME="$work/config"

# Starts the game and wants a client area of $1 by $2; the window's id goes to $window.
start_game() {
    (cd "$work" && exec "$taspo") &
    game_pid=$!
    window=$("$probe" find Taspo 10000) || fail "no window titled Taspo"
    read -r width height < <("$probe" size "$window")
    [[ "$width" = "$1" && "$height" = "$2" ]] || fail "the window is ${width}x${height}, not $1x$2"
}

stop_game() {
    "$probe" close "$window"
    local status=0
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "the game exited with $status"
}

# The frame with the button on grey, as the game draws it.
echo "WindowScale = 1" >"$work/taspo.cfg"
start_game 512 448
"$probe" wait-image "$window" "$button" 808080 4000 >/dev/null || fail "the button did not appear"
"$probe" shot "$window" "$work/frame.ppm"
stop_game

rm "$work/taspo.cfg"
start_game 1024 896
"$probe" wait-shot "$window" "$work/frame.ppm" 2 5000 ||
    fail "the window did not show the button's frame in 2x2 squares"
stop_game
echo "scaled window: all checks passed"
