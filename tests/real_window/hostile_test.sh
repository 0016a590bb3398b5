#!/usr/bin/env bash
# The real game in hostile surroundings, one case per run (each a test of its own). A case that
# cannot start must end within the time limit with exit code 1 and exactly one line on stderr,
# the one given below; a signal must end a running game with exit code 0 and nothing on stderr,
# so teardown ran in full and the sanitizers found nothing.
# Usage: hostile_test.sh <case> <taspo> <x11_probe> <button.bmp>
#   no-display            no X11 or Wayland display at all
#   arena-refused         the heap refuses the 4 MiB arena (sanitized builds: ASan's allocator
#                         is told to give nothing over 2 MiB, as a heap that cannot would)
#   image-directory       button.bmp is a directory
#   image-no-permission   button.bmp cannot be opened (run as an unprivileged user)
#   config-directory      taspo.cfg is a directory
#   config-no-permission  taspo.cfg cannot be opened (run as an unprivileged user)
#   sigint | sigterm      the signal while the game runs
#   lost-output           --version and --help to a full device (/dev/full): exit code 1 and
#                         the reason, not a quiet success
# Exits 77 (skipped) when the case cannot be set up here, saying why.
set -euo pipefail
case=$1
taspo=$(realpath "$2") probe=$(realpath "$3") button=$(realpath "$4")

limit=30  # seconds any one run may take; more is a hang
fail() { echo "hostile ($case): $*" >&2; exit 1; }
skip() { echo "hostile ($case): skipped: $*"; exit 77; }

# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
# The session's scratch folder, game and LeakSanitizer suppressions, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
lsan_suppressions=""
x11_session_begin
game="$work/game"
mkdir "$game"
cp "$button" "$game/button.bmp"

start_display() {
    x11_session_display || fail "Xvfb did not start"
}

# The game as the given user prefix (empty, or setpriv ...) in its folder; fills status and
# $work/stderr.
run_game() {
    status=0
    (cd "$game" && exec timeout -k 5 "$limit" "$@" "$taspo") 2>"$work/stderr" >/dev/null ||
        status=$?
    [[ "$status" -ne 124 && "$status" -ne 137 ]] || fail "no answer within $limit s"
}

# Exit code 1 and exactly the one line expected (a pattern when it ends in *).
expect_refusal() {
    local expected=$1
    shift
    run_game "$@"
    local printed
    printed=$(cat "$work/stderr")
    echo "prints: $printed"
    [ "$status" -eq 1 ] || fail "exit code $status, not 1; stderr: $printed"
    [ "$(wc -l <"$work/stderr")" -eq 1 ] || fail "not exactly one line on stderr: $printed"
    # shellcheck disable=SC2053  # a pattern on the right, on purpose
    [[ "$printed" == $expected ]] || fail "printed \"$printed\", not \"$expected\""
}

# How to run a command without the root's power to read anything: as nobody. The build tree may
# sit where nobody can read nothing (a checkout under /root), so the game, its folder with
# button.bmp and the LeakSanitizer suppressions are copied into a folder under /tmp that nobody
# can read, and the game runs from there; it links only the system's libraries.
unprivileged=()
readable=""
find_unprivileged_user() {
    if [ "$(id -u)" -ne 0 ]; then
        return 0  # already unprivileged
    fi
    if command -v setpriv >/dev/null; then
        unprivileged=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    elif command -v runuser >/dev/null; then
        unprivileged=(runuser -u nobody --)
    else
        skip "running as root, and neither setpriv nor runuser is here to run the game as nobody"
    fi
    readable=$(mktemp -d /tmp/taspo-hostile.XXXXXX)
    trap 'rm -rf "$readable"; x11_session_end' EXIT
    mkdir "$readable/game"
    cp "$taspo" "$readable/taspo"
    cp "$game/button.bmp" "$readable/game/button.bmp"
    cp "$lsan_suppressions" "$readable/lsan.supp"
    chmod 755 "$readable" "$readable/game" "$readable/taspo"
    chmod 644 "$readable/game/button.bmp" "$readable/lsan.supp"
    taspo="$readable/taspo"
    game="$readable/game"
    export LSAN_OPTIONS="suppressions=$readable/lsan.supp:print_suppressions=0"
    "${unprivileged[@]}" test -x "$taspo" -a -r "$game/button.bmp" -a -r "$readable/lsan.supp" ||
        fail "${unprivileged[*]} cannot reach the game copied to $readable"
}

# Waits for the window, sends the signal, expects a clean end.
expect_clean_stop() {
    local signal=$1
    start_display
    (cd "$game" && exec "$taspo") 2>"$work/stderr" >/dev/null &
    game_pid=$!
    "$probe" find Taspo 10000 >/dev/null || fail "no window titled Taspo"
    kill "-$signal" "$game_pid"
    status=0
    for _ in $(seq $((limit * 10))); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "still running $limit s after SIG$signal"
    wait "$game_pid" || status=$?
    game_pid=""
    echo "SIG$signal: exit code $status, stderr: \"$(cat "$work/stderr")\""
    [ "$status" -eq 0 ] || fail "exit code $status after SIG$signal; stderr: $(cat "$work/stderr")"
    [ ! -s "$work/stderr" ] || fail "SIG$signal left a report on stderr: $(cat "$work/stderr")"
}

case "$case" in
    no-display)
        unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
        # No Wayland socket either where SDL would look for one by default.
        export XDG_RUNTIME_DIR="$work"
        expect_refusal "taspo: cannot open a window: no display (*)"
        ;;
    arena-refused)
        nm "$taspo" 2>/dev/null | grep -c __asan_init >/dev/null ||
            skip "not a sanitized build: nothing here can make the heap refuse the arena alone"
        start_display
        # ASan says on its own channel what it refused; it must be the arena and nothing else.
        options="allocator_may_return_null=1:max_allocation_size_mb=2:log_path=$work/asan"
        expect_refusal "taspo: the standard heap refused the 4194304-byte memory arena" \
            env ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}$options"
        refused=$(cat "$work"/asan.* 2>/dev/null || true)
        echo "ASan: $refused"
        pattern='^==[0-9]+==WARNING: AddressSanitizer failed to allocate 0x400000 bytes$'
        [[ "$refused" =~ $pattern ]] ||
            fail "ASan refused something else, or more: $refused"
        ;;
    image-directory)
        start_display
        rm "$game/button.bmp"
        mkdir "$game/button.bmp"
        expect_refusal "taspo: button.bmp: cannot read it (Is a directory)"
        ;;
    image-no-permission)
        find_unprivileged_user
        start_display
        chmod 000 "$game/button.bmp"
        expect_refusal "taspo: button.bmp: cannot open it (Permission denied)" "${unprivileged[@]}"
        ;;
    config-directory)
        start_display
        mkdir "$game/taspo.cfg"
        expect_refusal "taspo: taspo.cfg: cannot read the file (Is a directory)"
        ;;
    config-no-permission)
        find_unprivileged_user
        start_display
        echo "Fullscreen = true" >"$game/taspo.cfg"
        chmod 000 "$game/taspo.cfg"
        expect_refusal "taspo: taspo.cfg: cannot open the file (Permission denied)" \
            "${unprivileged[@]}"
        ;;
    lost-output)
        [ -w /dev/full ] || skip "no /dev/full to write to"
        for option in --version --help; do
            status=0
            (cd "$game" && exec timeout -k 5 "$limit" "$taspo" "$option") >/dev/full \
                2>"$work/stderr" || status=$?
            printed=$(cat "$work/stderr")
            echo "$option: exit code $status, stderr: \"$printed\""
            [ "$status" -eq 1 ] || fail "$option to a full device: exit code $status, not 1"
            expected="taspo: cannot write the ${option#--} to standard output (No space left on device)"
            [ "$printed" = "$expected" ] || fail "$option to a full device printed \"$printed\""
        done
        ;;
    sigint) expect_clean_stop INT ;;
    sigterm) expect_clean_stop TERM ;;
    *) fail "unknown case" ;;
esac
echo "hostile ($case): passed"
