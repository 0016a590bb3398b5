#!/usr/bin/env bash
# The history of real games played in a window under Xvfb: the first with a hit and then a false
# start, the second with a hit. --history lists both, the CSV has a row per target and false
# start, the chart is well-formed XML with a dot per hit, and each game's kept replay checks
# clean and reports the same outcomes. A game played with KeepHistory = false is not kept, nor
# one ended before its first target; a torn record is named and passed over.
# What the game saw is read from the history and the replays, never from a pixel caught in time.
# Usage: history_test.sh <taspo> <x11_probe> <button.bmp>
set -euo pipefail
taspo=$1 probe=$2 button=$3

fail() { echo "history: $*" >&2; exit 1; }

# shellcheck source=SCRIPTDIR/x11_session.sh
source "$(dirname "$0")/x11_session.sh"
work=""
game_pid=""
x11_session_begin
x11_session_display || fail "Xvfb did not start"
cp "$button" "$work/button.bmp"
history="$XDG_DATA_HOME/taspo/history"

# start: the game in $work, its window focused.
start() {
    (cd "$work" && exec "$taspo") &
    game_pid=$!
    window=$("$probe" find Taspo 20000) || fail "no window titled Taspo"
    x11_focus "$window" || fail "the window did not take the focus"
}

# hit: space held from the moment the target shows until the picture leaves the target.
hit() {
    "$probe" wait-image "$window" "$button" 808080 20000 >/dev/null || fail "no target appeared"
    xdotool keydown space
    "$probe" wait-not "$window" 5 5 808080 20000 >/dev/null || fail "the target had no outcome"
    xdotool keyup space
    "$probe" wait "$window" 5 5 808080 20000 || fail "the game did not return to grey"
}

# finish: Escape, and the game's exit code must be 0.
finish() {
    xdotool keydown Escape
    local status=0
    wait "$game_pid" || status=$?
    game_pid=""
    xdotool keyup Escape
    [ "$status" -eq 0 ] || fail "the game exited with $status"
}

start
hit
# The next wait has just begun: space now is a false start. It is held until the next target
# shows, so the game sees it however long its frames take (a press shorter than a frame is never
# seen), and being held it does not hit that target.
xdotool keydown space
"$probe" wait-image "$window" "$button" 808080 20000 >/dev/null || fail "no target appeared"
xdotool keyup space
finish
start
hit
finish

listing=$(env -u DISPLAY "$taspo" --history) || fail "--history failed"
[ "$(wc -l <<<"$listing")" -eq 3 ] || fail "--history lists: $listing"
grep -q '^2 games: .* 1 false start, ' <<<"$listing" || fail "--history sums up: $listing"

# Each kept replay checks clean, and its report has the outcomes the history kept.
env -u DISPLAY "$taspo" --history --csv >"$work/history.csv" || fail "--history --csv failed"
for replay in "$history"/*.taspo-replay; do
    (cd "$work" && env -u DISPLAY "$taspo" --check "$replay" >/dev/null) ||
        fail "$replay does not check clean"
    game=$(basename "$replay" .taspo-replay)
    reported=$(cd "$work" && env -u DISPLAY "$taspo" --report "$replay" |
        sed -n 's/^target [0-9]*: shown at [0-9.]* s, \(hit\|miss\).*/\1/p' | tr '\n' ' ')
    kept=$(awk -F, -v game="$game" '$1 == game && $5 != "false start" { printf "%s ", $5 }' \
        "$work/history.csv")
    [ "$reported" = "$kept" ] || fail "$game: its replay reports $reported, its record keeps $kept"
done

python3 - "$work/history.csv" <<'PYTHON' || fail "the CSV is not as expected"
import csv, sys
with open(sys.argv[1], newline='') as file:
    rows = list(csv.reader(file))
assert rows[0] == ['game', 'played', 'target', 'shown_s', 'outcome', 'reaction_ms'], rows[0]
games = {row[0] for row in rows[1:]}
outcomes = [row[4] for row in rows[1:]]
assert len(games) == 2, games
assert outcomes.count('false start') == 1, outcomes
assert outcomes.count('hit') >= 1, outcomes
assert all(float(row[5]) > 0 for row in rows[1:] if row[4] == 'hit'), rows
PYTHON

env -u DISPLAY "$taspo" --history --svg "$work/chart.svg" || fail "--history --svg failed"
xmllint --noout "$work/chart.svg" || fail "the chart is not well-formed XML"
dots=$(grep -c '<circle class="hit"' "$work/chart.svg")
hits=$(grep -c ',hit,' "$work/history.csv")
[ "$dots" -eq "$hits" ] || fail "the chart has $dots dots for $hits hits"

# Neither a game with KeepHistory = false nor one ended before its first target is kept.
printf 'KeepHistory = false\n' >"$work/taspo.cfg"
start
"$probe" wait-image "$window" "$button" 808080 20000 >/dev/null || fail "no target appeared"
finish
rm "$work/taspo.cfg"
start
finish
[ "$(find "$history" -name "*.taspo-game" | wc -l)" -eq 2 ] || fail "a game was kept that should not be"

# A torn record is named, and the others are still listed.
printf 'taspo game 1\nplayed 17' >"$history/20000101T000000Z.taspo-game"
listing=$(env -u DISPLAY "$taspo" --history 2>"$work/err") || fail "--history failed"
grep -q "20000101T000000Z.taspo-game: the record is cut short" "$work/err" ||
    fail "the torn record was not named: $(cat "$work/err")"
[ "$(wc -l <<<"$listing")" -eq 3 ] || fail "--history lists: $listing"
echo "history: 2 games kept and listed, $hits hits, 1 false start; their replays check clean"
