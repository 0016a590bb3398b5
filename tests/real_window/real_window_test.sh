#!/usr/bin/env bash
# The real game in a real window under Xvfb: its title and client size, grey at the start, the
# button (centred, its magenta showing the grey) after about a second, light blue for space
# pressed while it shows, dark red when it is left alone, and exit code 0 both for a window
# manager's close request and for Escape. The first game is recorded: --check must find every
# checkpoint matching, and --report must list a hit for the first target and a miss for the
# second, as the screen showed them.
# Each look at the screen has one try and a deadline long enough for a loaded machine.
# Usage: real_window_test.sh <taspo> <x11_probe> <button.bmp> [screenshot.ppm]
set -euo pipefail
taspo=$1 probe=$2 button=$3 shot=${4:-}

fail() { echo "real window: $*" >&2; exit 1; }

# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
# The session's scratch folder, game and xdotool, which x11_session_begin and x11_session_end
# look after.
work=""
game_pid=""
x11_session_begin
x11_session_display || fail "Xvfb did not start"
x11_keys_begin
cp "$button" "$work/button.bmp"

# start_game [ARGUMENT...]: the game in $work, its window found and given the focus.
start_game() {
    (cd "$work" && exec "$taspo" "$@") &
    game_pid=$!
    window=$("$probe" find Taspo 20000) || fail "no window titled Taspo"
    x11_focus "$window" || fail "the window did not take the focus"
}

# The game must end within 20 s, with exit code 0.
stop_game_expecting_zero() {
    local status=0
    timeout 20 tail --pid="$game_pid" -f /dev/null ||
        fail "the game did not end; xdotool said: $(cat "$work/xdotool.log")"
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "the game exited with $status"
}

# watch_for_outcome: a probe in the background, already looking before the target shows: first
# for the grey, then for the first other colour at (5, 5). The light blue of a hit lasts 0.2 s,
# less than a probe can take to start on a loaded machine. outcome then reads it into $seen, as
# hit or miss.
watcher=""
watch_for_outcome() {
    {
        "$probe" wait "$window" 5 5 808080 20000 || { echo "no grey"; exit 1; }
        "$probe" wait-not "$window" 5 5 808080 20000 || echo "no outcome"
    } >"$work/outcome" &
    watcher=$!
}
seen=""
outcome() {
    wait "$watcher" || true  # what it wrote tells
    seen=$(cat "$work/outcome")
    case $seen in
        c0c0ff) seen=hit ;;
        800000) seen=miss ;;
        "no grey") fail "the window is not grey" ;;
        "no outcome") fail "the target had no outcome" ;;
        *) fail "the target ended in $seen" ;;
    esac
}

# The first target comes a second after the start: the grey is looked for beside the wait for
# it, the client size later.
start_game --record session.taspo-replay
watch_for_outcome

# Space held from the moment the button shows until the picture leaves it: a press shorter than
# a frame on a busy machine is never seen.
"$probe" wait-image "$window" "$button" 808080 20000 >/dev/null ||
    fail "the button did not appear centred, its magenta left out"
keys keydown space
outcome
first=$seen
keys keyup space
[ "$first" = hit ] || fail "space on the button did not turn the background light blue"
"$probe" wait "$window" 5 5 808080 20000 || fail "the hit did not end"

# Left alone, the next button runs out into a miss.
watch_for_outcome
"$probe" wait-image "$window" "$button" 808080 20000 >/dev/null ||
    fail "the second button did not appear"
[ -z "$shot" ] || "$probe" shot "$window" "$shot"
outcome
second=$seen
[ "$second" = miss ] || fail "an unanswered button did not turn the background dark red"

read -r width height < <("$probe" size "$window")
[[ "$width" = 512 && "$height" = 448 ]] || fail "client area is ${width}x${height}, not 512x448"
"$probe" close "$window"
stop_game_expecting_zero

# What the game saw, from its recording, without a display.
[ -f "$work/session.taspo-replay" ] || fail "no recording written"
check=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$taspo" --check session.taspo-replay) ||
    fail "--check failed: $check"
[[ "$check" =~ ^session\.taspo-replay:\ [0-9]+\ frames,\ [0-9]+\ checkpoints,\ all\ match$ ]] ||
    fail "--check said: $check"
report=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$taspo" --report session.taspo-replay) ||
    fail "--report failed"
listed=$(sed -n 's/^target [0-9]*: shown at [0-9.]* s, \(hit\|miss\).*/\1/p' <<<"$report" |
    paste -sd' ')
[ "$listed" = "$first $second" ] ||
    fail "the report lists \"$listed\" where the screen showed \"$first $second\": $report"

# Escape held while the window has the focus ends the game too.
start_game
keys keydown Escape
stop_game_expecting_zero
keys keyup Escape
echo "$report"
echo "real window: all checks passed; $check; the report lists $listed as the screen showed"
