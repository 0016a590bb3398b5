#!/usr/bin/env bash
# The real game in a real window under Xvfb: its title and client size, grey at the start, the
# button (centred, its magenta showing the grey) after about a second, light blue for space
# pressed while it shows, dark red when it is left alone, and exit code 0 both for a window
# manager's close request and for Escape.
# Usage: real_window_test.sh <taspo> <x11_probe> <button.bmp> [screenshot.ppm]
set -euo pipefail
taspo=$1 probe=$2 button=$3 shot=${4:-}

fail() { echo "real window: $*" >&2; exit 1; }

# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
x11_session_display || fail "Xvfb did not start"
cp "$button" "$work/button.bmp"

start_game() {
    (cd "$work" && exec "$taspo") &
    game_pid=$!
    window=$("$probe" find Taspo 10000) || fail "no window titled Taspo"
}

stop_game_expecting_zero() {
    local status=0
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "the game exited with $status"
}

start_game
read -r width height < <("$probe" size "$window")
[[ "$width" = 512 && "$height" = 448 ]] || fail "client area is ${width}x${height}, not 512x448"
"$probe" wait "$window" 5 5 808080 3000 || fail "the window is not grey"
xdotool windowfocus --sync "$window"

# A loaded machine can be slow to press in time, so the button gets three chances.
hit=""
for attempt in 1 2 3; do
    "$probe" wait-image "$window" "$button" 808080 4000 >/dev/null ||
        fail "the button did not appear centred, its magenta left out"
    [ -n "$shot" ] && [ "$attempt" = 1 ] && "$probe" shot "$window" "$shot"
    # Held until the hit shows: a press shorter than a frame on a busy machine is never seen.
    xdotool keydown space
    "$probe" wait "$window" 5 5 c0c0ff 1000 && hit=yes
    xdotool keyup space
    [ -n "$hit" ] && break
    "$probe" wait "$window" 5 5 808080 3000 || fail "the game did not return to grey"
done
[ -n "$hit" ] || fail "space on the button did not turn the background light blue"

# Left alone, the next button runs out into a miss.
"$probe" wait "$window" 5 5 808080 1000 || fail "the hit did not end"
"$probe" wait-image "$window" "$button" 808080 4000 >/dev/null ||
    fail "the second button did not appear"
"$probe" wait "$window" 5 5 800000 2000 || fail "an unanswered button did not turn the background dark red"

"$probe" close "$window"
stop_game_expecting_zero

# Escape held while the window has the focus ends the game too.
start_game
xdotool windowfocus --sync "$window"
xdotool keydown Escape
stop_game_expecting_zero
xdotool keyup Escape
echo "real window: all checks passed"
