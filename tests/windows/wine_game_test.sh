#!/usr/bin/env bash
# The Windows game played under Wine in a private Xvfb display, started outside its folder (so
# button.bmp is found beside taspo.exe): the window titled "Taspo" with a 512 by 448 client area
# painted 0x808080, the button centred with its magenta left out, space while it shows turning the
# background 0xC0C0FF, and a close request (WM_DELETE_WINDOW) ending it with exit code 0. Then
# what the game saw, from its history: taspo.exe --history lists one game more, and --history
# --csv has this game's first target as a hit, shown about a second in.
# Each look at the screen has one try and a deadline long enough for a loaded machine.
# Usage: wine_game_test.sh <taspo.exe> <x11_probe> <emulator...>
set -euo pipefail
exe=$1 probe=$2
shift 2
emulator=("$@")
here=$(dirname "$0")
# shellcheck source=SCRIPTDIR/../support/checks.sh
source "$here/../support/checks.sh"
# shellcheck source=SCRIPTDIR/../real_window/x11_session.sh
source "$here/../real_window/x11_session.sh"
button=$(dirname "$exe")/button.bmp

# The session's scratch folder, game and xdotool, which x11_session_begin and x11_session_end
# look after; Wine's processes of this build's prefix go first.
work=""
game_pid=""
x11_session_begin
unset LSAN_OPTIONS  # for the sanitized Linux game, not for Wine
wineserver() { "${emulator[@]:0:${#emulator[@]}-1}" wineserver "$@"; }
trap 'wineserver -k 2>/dev/null || true; x11_session_end' EXIT
x11_session_display || { echo "Xvfb did not start"; exit 1; }
x11_keys_begin

window=""
window_opens() {
    (cd "$work" && exec "${emulator[@]}" "$exe") >"$work/game.log" 2>&1 &
    game_pid=$!
    window=$("$probe" find Taspo 60000) || return 1
    x11_focus "$window" || { echo "  (the window did not take the focus)"; return 1; }
}
client_area_is_512_by_448() {
    local size
    size=$("$probe" size "$window")
    [ "$size" = "512 448" ] || { echo "  ($size)"; return 1; }
}
# Once the grey shows, a probe in the background looks for the first other colour at (5, 5): the
# light blue of a hit lasts 0.2 s, less than a probe can take to start on a loaded machine.
watcher=""
starts_grey() {
    "$probe" wait "$window" 5 5 808080 20000 || return 1
    "$probe" wait "$window" 256 223 808080 1 || return 1
    "$probe" wait-not "$window" 5 5 808080 20000 >"$work/outcome" &
    watcher=$!
}
# Space goes down the moment the button is seen, and stays down until the picture leaves it: a
# press shorter than a frame on a busy machine is never seen.
button_shows() {
    "$probe" wait-image "$window" "$button" 808080 20000 >/dev/null || return 1
    keys keydown space
}
space_scores_a_hit() {
    local status=0
    wait "$watcher" || status=$?
    keys keyup space
    echo "  (the background turned $(cat "$work/outcome"))"
    [ "$status" -eq 0 ] && [ "$(cat "$work/outcome")" = c0c0ff ]
}
close_request_ends_with_0() {
    "$probe" close "$window"
    local pid=$game_pid status=0
    timeout 20 tail --pid="$pid" -f /dev/null || return 1
    game_pid=""
    wait "$pid" || status=$?
    echo "  (exit code $status)"
    [ "$status" -eq 0 ]
}

# The games --history lists: its lines that start with a date.
games_listed() {
    (cd "$work" && "${emulator[@]}" "$exe" --history 2>/dev/null) | grep -c '^[0-9-]\{10\} ' || true
}
history_lists_one_more_game() {
    local listed
    listed=$(games_listed)
    echo "  ($listed games listed, $games_before before)"
    [ "$listed" -eq $((games_before + 1)) ] || [ "$listed" -eq 1000 ]
}
# history.csv: the history as CSV, without Windows' line ends.
history_csv() {
    (cd "$work" && "${emulator[@]}" "$exe" --history --csv 2>/dev/null) | tr -d '\r' \
        >"$work/history.csv"
}
# The newest game's name: games sort by the time they were played, newest last.
newest_game() {
    awk -F, 'NR > 1 { game = $1 } END { print game }' "$work/history.csv"
}
history_has_the_first_target_as_a_hit() {
    history_csv || return 1
    local game
    game=$(newest_game)
    [[ -n "$game" && "$game" != "$newest_before" ]] || { echo "  (no new game kept)"; return 1; }
    local first
    first=$(awk -F, -v game="$game" '$1 == game && $3 == 1' "$work/history.csv")
    echo "  ($first)"
    # The first target shows a second after the start, a frame either way.
    awk -F, '$5 == "hit" && $6 > 0 && $4 >= 0.5 && $4 <= 2 { found = 1 } END { exit !found }' \
        <<<"$first"
}

# The prefix may hold games of earlier runs.
games_before=$(games_listed)
history_csv || true  # with no game kept yet it says so, and there is no newest game
newest_before=$(newest_game)
if check "the window titled \"Taspo\" opens" window_opens; then
    check "it is painted 0x808080" starts_grey
    check "the button shows centred, magenta left out" button_shows
    check "space while it shows turns the background 0xC0C0FF" space_scores_a_hit
    check "its client area is 512 by 448" client_area_is_512_by_448
    check "WM_DELETE_WINDOW ends the game with exit code 0" close_request_ends_with_0 &&
        check "taspo.exe --history lists the game" history_lists_one_more_game &&
        check "taspo.exe --history --csv has its first target as a hit" \
            history_has_the_first_target_as_a_hit
fi
if ! checks_passed && [ -s "$work/game.log" ]; then
    echo "-- the game's output:"
    cat "$work/game.log"
fi
checks_passed
