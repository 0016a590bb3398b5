#!/usr/bin/env bash
# The real game under a launcher (valgrind's memcheck, which ends it with exit code 99 on an error
# or a leak) in a virtual X display, recording: its window, the grey, a target shown and left to
# run out into the dark red, then SIGTERM, which must end it with exit code 0. The recording, run
# without the launcher, must check clean with --check, and --report must list the target.
# Usage: memcheck_game_test.sh <taspo> <x11_probe> <button.bmp> <launcher...>
set -euo pipefail
taspo=$1 probe=$2 button=$3
shift 3

fail() { echo "memcheck game: $*" >&2; exit 1; }

# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
unset LSAN_OPTIONS  # memcheck has its own suppressions
x11_session_display || fail "Xvfb did not start"
cp "$button" "$work/"

# Memcheck makes everything many times slower: a minute for each step.
(cd "$work" && exec "$@" "$taspo" --record session.taspo-replay) &
game_pid=$!
window=$("$probe" find Taspo 60000) || fail "no window titled Taspo within a minute"
"$probe" wait "$window" 5 5 808080 60000 || fail "the window did not turn grey"
"$probe" wait-image "$window" "$button" 808080 60000 >/dev/null || fail "no target was shown"
"$probe" wait "$window" 5 5 800000 60000 ||
    fail "the target left alone did not turn the window dark red"

kill -TERM "$game_pid"
timeout 120 tail --pid="$game_pid" -f /dev/null ||
    fail "the game did not end within 2 minutes of SIGTERM"
status=0
wait "$game_pid" || status=$?
game_pid=""
echo "exit code $status after SIGTERM"
[ "$status" -eq 0 ] || fail "exit code $status after SIGTERM"

# What the game saw, replayed without the launcher and without a display.
[ -f "$work/session.taspo-replay" ] || fail "no recording written"
check=$(cd "$work" && env -u DISPLAY "$taspo" --check session.taspo-replay) ||
    fail "--check failed: $check"
[[ "$check" =~ ^session\.taspo-replay:\ [0-9]+\ frames,\ [0-9]+\ checkpoints,\ all\ match$ ]] ||
    fail "--check said: $check"
report=$(cd "$work" && env -u DISPLAY "$taspo" --report session.taspo-replay) ||
    fail "--report failed"
echo "$report"
grep -q '^target 1: shown at [0-9.]* s, miss$' <<<"$report" ||
    fail "the report does not list the first target as a miss"
echo "memcheck game: $check"
