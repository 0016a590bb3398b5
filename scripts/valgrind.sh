#!/usr/bin/env bash
# valgrind's memcheck over the test programs and over a few seconds of the real game:
#   scripts/valgrind.sh
# Builds the `valgrind` preset (Debug, no sanitizers: build/valgrind), then
#   1. runs every test program once under memcheck (the soak test with 20000 frames instead of a
#      million; the real-window and hostile tests are shell scripts and are left out);
#   2. plays the game in a virtual X display under memcheck for about five seconds and stops it
#      with SIGTERM, which must end it with exit code 0.
# Any memcheck error, or a leak outside the suppressions in scripts/valgrind.supp (what SDL, X11
# and D-Bus keep for the life of the process), fails the run. Logs go to build/valgrind/memcheck/.
# Too slow for the test command: run it by hand after changing memory handling.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" valgrind libgtest-dev googletest xvfb xauth xdotool \
    x11-utils libx11-dev

cmake --preset valgrind >/dev/null
cmake --build --preset valgrind -j"$(nproc)"
build="$root/build/valgrind"
logs="$build/memcheck"
rm -rf "$logs"
mkdir -p "$logs"

memcheck=(valgrind --error-exitcode=99 --leak-check=full "--show-leak-kinds=definite,indirect,possible"
    "--errors-for-leak-kinds=definite,indirect,possible" --suppressions="$root/scripts/valgrind.supp"
    --num-callers=30)

passed=0
failed=0
count() {  # count NAME STATUS LOG: memcheck's exit code is 99 on an error, else the program's
    if [ "$2" -eq 0 ]; then
        echo "  ok: $1 ($(grep -o 'ERROR SUMMARY: [0-9]* errors' "$3" | head -n1))"
        passed=$((passed + 1))
    else
        echo "  FAILED: $1 (exit code $2; see $3 and $3.out)"
        failed=$((failed + 1))
    fi
}

echo "== Test programs under memcheck"
for program in "$build"/tests/test_*; do
    [[ -x "$program" && -f "$program" ]] || continue
    name=$(basename "$program")
    status=0
    (cd "$build/tests" && TASPO_SOAK_FRAMES=20000 exec "${memcheck[@]}" \
        --log-file="$logs/$name.log" "$program") >"$logs/$name.log.out" 2>&1 || status=$?
    count "$name" "$status" "$logs/$name.log"
done

echo "== The game under memcheck in a virtual X display"
source tests/real_window/x11_session.sh
# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
unset LSAN_OPTIONS  # memcheck has its own suppressions
x11_session_display
cp "$build/button.bmp" "$work/"
log="$logs/taspo.log"
(cd "$work" && exec "${memcheck[@]}" --log-file="$log" "$build/taspo") >"$log.out" 2>&1 &
game_pid=$!
status=0
if "$build/tests/x11_probe" find Taspo 60000 >/dev/null; then
    sleep 5
    kill -TERM "$game_pid"
    wait "$game_pid" || status=$?
else
    echo "  taspo showed no window within a minute"
    kill -KILL "$game_pid"
    status=1
fi
game_pid=""
count "taspo, five seconds and SIGTERM" "$status" "$log"

echo "memcheck: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
