#!/usr/bin/env bash
# The game from the .deb unpacked into a scratch root, started from an unrelated working
# directory: it answers --version and --help, where it names the data folder of the unpacked tree
# (found from its own location, which holds button.bmp), refuses an unknown option, and under
# Xvfb shows the grey window and then that folder's button, centred. Environment: see
# tests/packaging/CMakeLists.txt.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=SCRIPTDIR/../support/checks.sh
source "$here/../support/checks.sh"
# shellcheck source=SCRIPTDIR/../real_window/x11_session.sh
source "$here/../real_window/x11_session.sh"
probe=$TASPO_X11_PROBE
deb=$TASPO_DIST/taspo_${TASPO_VERSION}_amd64.deb

# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
dpkg-deb -x "$deb" "$work/root"
installed=$work/root/usr
taspo=$installed/games/taspo
data=$(realpath "$installed")/share/games/taspo/
elsewhere=$work/elsewhere
mkdir -p "$elsewhere" "$work/home"

answers() {  # answers EXPECTED-CODE EXPECTED-OUTPUT-LINE ARGUMENT
    local output status=0
    output=$(cd "$elsewhere" && "$taspo" "$3" 2>&1) || status=$?
    if [ "$status" -ne "$1" ] || ! grep -qxF "$2" <<<"$output"; then
        echo "  said ($status): $output"
        return 1
    fi
}
check "taspo --version prints $TASPO_VERSION" answers 0 "taspo $TASPO_VERSION" --version
check "taspo --help names the unpacked tree's data folder" \
    answers 0 "This program's installed data: $data" --help
check "that folder holds button.bmp" test -f "$data/button.bmp"
check "an unknown option is exit code 2" \
    answers 2 'taspo: unknown option "--nonsense" (taspo --help lists the options)' --nonsense

window=""
window_opens() {
    x11_session_display || return 1
    (cd "$elsewhere" && HOME="$work/home" XDG_CONFIG_HOME="" exec "$taspo") >"$work/game.log" 2>&1 &
    # shellcheck disable=SC2034  # x11_session_end stops the game when the script ends
    game_pid=$!
    window=$("$probe" find Taspo 10000)
}
if check "the window titled \"Taspo\" opens" window_opens; then
    check "it is grey" "$probe" wait "$window" 5 5 808080 3000
    check "then the button from the unpacked data folder shows, centred" \
        "$probe" wait-image "$window" "$data/button.bmp" 808080 6000
    "$probe" close "$window" || true
fi
if ! checks_passed && [ -s "$work/game.log" ]; then
    echo "-- the game's output:"
    cat "$work/game.log"
fi
checks_passed
