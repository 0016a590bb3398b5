#!/usr/bin/env bash
# A session recorded in a real window under Xvfb, with presses sent by xdotool, and ended by
# Escape or by SIGTERM: the file is complete, --check finds every checkpoint matching, and the
# hits and misses --report lists are the ones the screen showed. The Escape session is also
# played back in the window by --replay, which must match as well.
# Usage: replay_test.sh escape|sigterm <taspo> <x11_probe> <button.bmp> [copy of the recording]
set -euo pipefail
ending=$1 taspo=$2 probe=$3 button=$4 keep=${5:-}

fail() { echo "replay ($ending): $*" >&2; exit 1; }

# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
work=""
game_pid=""
x11_session_begin
x11_session_display || fail "Xvfb did not start"
cp "$button" "$work/button.bmp"

(cd "$work" && exec "$taspo" --record session.taspo-replay) &
game_pid=$!
window=$("$probe" find Taspo 10000) || fail "no window titled Taspo"
x11_focus "$window" || fail "the window did not take the focus"

# Each target's outcome as the screen showed it, the first colour after the grey: space is held
# on the first and the third (a loaded machine may still be too late, which the screen then
# shows as a miss), the second is left alone.
shown=""
for target in 1 2 3; do
    "$probe" wait-image "$window" "$button" 808080 4000 >/dev/null ||
        fail "target $target did not appear"
    [ "$target" = 2 ] || xdotool keydown space
    colour=$("$probe" wait-not "$window" 5 5 808080 3000) || fail "target $target had no outcome"
    [ "$target" = 2 ] || xdotool keyup space
    case $colour in
        c0c0ff) shown="$shown hit" ;;
        800000) shown="$shown miss" ;;
        *) fail "target $target ended in $colour" ;;
    esac
    "$probe" wait "$window" 5 5 808080 2000 || fail "the game did not return to grey"
done

if [ "$ending" = sigterm ]; then
    kill -TERM "$game_pid"
else
    xdotool keydown Escape
fi
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$ending" = sigterm ] || xdotool keyup Escape
[ "$status" -eq 0 ] || fail "the recording game exited with $status"
[ -f "$work/session.taspo-replay" ] || fail "no recording written"
[ ! -e "$work/session.taspo-replay.tmp" ] || fail "the temporary file was left behind"

# --check and --report need no display at all.
check=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$taspo" --check session.taspo-replay) ||
    fail "--check failed: $check"
[[ "$check" =~ ^session\.taspo-replay:\ [0-9]+\ frames,\ [0-9]+\ checkpoints,\ all\ match$ ]] ||
    fail "--check said: $check"
if [ "$ending" = escape ]; then
    replayed=$(cd "$work" && "$taspo" --replay session.taspo-replay) || fail "--replay failed"
    [ "$replayed" = "$check" ] || fail "--replay said: $replayed"
fi
report=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY "$taspo" --report session.taspo-replay) ||
    fail "--report failed"
listed=$(sed -n 's/^target [0-9]*: shown at [0-9.]* s, \(hit\|miss\).*/ \1/p' <<<"$report" | tr -d '\n')
[ "$listed" = "$shown" ] || fail "the report lists$listed, the screen showed$shown: $report"

[ -z "$keep" ] || cp "$work/session.taspo-replay" "$keep"
echo "replay ($ending): $check; the report lists$listed as the screen showed"
