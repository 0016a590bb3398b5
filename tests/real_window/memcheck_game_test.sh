#!/usr/bin/env bash
# The real game under a launcher (valgrind's memcheck, which ends it with exit code 99 on an error
# or a leak) in a virtual X display for about five seconds, then SIGTERM, which must end it with
# exit code 0.
# Usage: memcheck_game_test.sh <taspo> <x11_probe> <button.bmp> <launcher...>
set -euo pipefail
taspo=$1 probe=$2 button=$3
shift 3
# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
unset LSAN_OPTIONS  # memcheck has its own suppressions
x11_session_display || { echo "Xvfb did not start"; exit 1; }
cp "$button" "$work/"
(cd "$work" && exec "$@" "$taspo") &
game_pid=$!
"$probe" find Taspo 60000 >/dev/null || { echo "taspo showed no window within a minute"; exit 1; }
sleep 5
kill -TERM "$game_pid"
status=0
wait "$game_pid" || status=$?
game_pid=""
echo "exit code $status after SIGTERM"
[ "$status" -eq 0 ]
