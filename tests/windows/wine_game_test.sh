#!/usr/bin/env bash
# The Windows game played under Wine in a private Xvfb display, started outside its folder (so
# button.bmp is found beside taspo.exe): the window titled "Taspo" with a 512 by 448 client area
# painted 0x808080, the button centred with its magenta left out about a second later, space while
# it shows turning the background 0xC0C0FF, a close request (WM_DELETE_WINDOW) ending it with
# exit code 0, and taspo.exe --history listing the game once it has ended.
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

# The session's scratch folder and game, which x11_session_begin and x11_session_end look after;
# Wine's processes of this build's prefix go first.
work=""
game_pid=""
x11_session_begin
unset LSAN_OPTIONS  # for the sanitized Linux game, not for Wine
wineserver() { "${emulator[@]:0:${#emulator[@]}-1}" wineserver "$@"; }
trap 'wineserver -k 2>/dev/null || true; x11_session_end' EXIT
x11_session_display || { echo "Xvfb did not start"; exit 1; }

window=""
window_opens() {
    (cd "$work" && exec "${emulator[@]}" "$exe") >"$work/game.log" 2>&1 &
    game_pid=$!
    window=$("$probe" find Taspo 60000)
}
client_area_is_512_by_448() {
    local size
    size=$("$probe" size "$window")
    [ "$size" = "512 448" ] || { echo "  ($size)"; return 1; }
}
starts_grey() { "$probe" wait "$window" 5 5 808080 5000 && "$probe" wait "$window" 256 223 808080 1; }
button_after_a_second() {
    local waited
    waited=$("$probe" wait-image "$window" "$button" 808080 6000) || return 1
    echo "  (the button showed ${waited} ms after the grey frame)"
    [ "$waited" -ge 300 ] && [ "$waited" -le 4000 ]
}
# Space while the button shows; the button may vanish between a look and the key, so a few tries.
# Held while we look: a press shorter than a frame on a busy machine is never seen.
space_scores_a_hit() {
    xdotool windowfocus --sync "$window"
    local try
    for try in 1 2 3 4; do
        [ "$try" -eq 1 ] || "$probe" wait-image "$window" "$button" 808080 8000 >/dev/null || return 1
        xdotool keydown space
        if "$probe" wait "$window" 5 5 c0c0ff 500; then
            xdotool keyup space
            return 0
        fi
        xdotool keyup space
    done
    return 1
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
close_request_ends_with_0() {
    "$probe" close "$window"
    local pid=$game_pid status=0
    timeout 20 tail --pid="$pid" -f /dev/null || return 1
    game_pid=""
    wait "$pid" || status=$?
    echo "  (exit code $status)"
    [ "$status" -eq 0 ]
}

# The prefix may hold games of earlier runs.
games_before=$(games_listed)
if check "the window titled \"Taspo\" opens" window_opens; then
    check "its client area is 512 by 448" client_area_is_512_by_448
    check "it is painted 0x808080" starts_grey
    check "the button shows centred, magenta left out, after about a second" button_after_a_second
    check "space while it shows turns the background 0xC0C0FF" space_scores_a_hit
    check "WM_DELETE_WINDOW ends the game with exit code 0" close_request_ends_with_0 &&
        check "taspo.exe --history lists the game" history_lists_one_more_game
fi
if ! checks_passed && [ -s "$work/game.log" ]; then
    echo "-- the game's output:"
    cat "$work/game.log"
fi
checks_passed
