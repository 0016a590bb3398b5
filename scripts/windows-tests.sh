#!/usr/bin/env bash
# The Windows build, checked here under Wine: builds taspo.exe and the engine's test programs with
# mingw-w64, checks what the 32-bit game's PE file says, runs the test programs under Wine, then
# plays the game in a virtual X display: grey window, the button after a second, a hit on space,
# and a close request that ends it with exit code 0. Exits non-zero when anything fails.
#
# Where this machine cannot run 32-bit programs at all, or 32-bit Wine cannot be installed, the test
# programs and the game run as the 64-bit build under 64-bit Wine, the same Win32 code.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/ensure-packages.sh
ensure_packages cmake make googletest g++-mingw-w64-i686-posix wine wine64 \
    xvfb xdotool x11-utils imagemagick g++ libx11-dev
# 32-bit Wine runs the 32-bit build; without it the 64-bit build runs under 64-bit Wine below.
ensure_optional_packages wine32:i386
jobs=$(nproc)

source scripts/checks.sh
passed=0
failed=0

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# ---- The 32-bit game and what its PE file says ----------------------------------------------------

echo "== 32-bit Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
exe=build/windows/taspo.exe
headers=$(i686-w64-mingw32-objdump -p "$exe")
resources=$(i686-w64-mingw32-windres -i "$exe" -O rc)

imports_only_system_dlls() {
    local dll
    while read -r dll; do
        case "${dll,,}" in
            kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
            *)
                echo "  taspo.exe imports $dll"
                return 1
                ;;
        esac
    done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
}

# Group icon 102: 16, 32 and 48 pixels, each in 16 colours (4 bits) and 256 colours (8 bits).
has_icon_group_102() {
    local group size
    group=$(sed -n '/^102 14 /,/^END/p' <<<"$resources")
    grep -q 'Has 6 elements' <<<"$group" || return 1
    for size in 020 040 060; do
        grep -qF "\"\\$size\\$size\\020\\000\", 1, 4," <<<"$group" || return 1
        grep -qF "\"\\$size\\$size\\000\\000\", 1, 8," <<<"$group" || return 1
    done
}

check "taspo.exe is a 32-bit PE" grep -q 'file format pei-i386' <<<"$headers"
check "taspo.exe runs in the GUI subsystem" grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"
check "taspo.exe imports only system DLLs" imports_only_system_dlls
check "taspo.exe carries icon group 102 with six images" has_icon_group_102

# ---- Which Wine runs the programs -------------------------------------------------------------

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=windows
    wine=wine
    export WINEARCH=win32
else
    echo "== No 32-bit Wine here: testing the 64-bit build under 64-bit Wine"
    ensure_packages g++-mingw-w64-x86-64-posix
    preset=windows64
    wine=/usr/lib/wine/wine64
    export WINEARCH=win64
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64 -j"$jobs"
fi
export WINEPREFIX="$root/build/wine-$WINEARCH"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The real-window tests' X session: a scratch folder ($work), Xvfb on a display it picks itself,
# and the game ($game_pid) stopped at exit; Wine's processes of our own prefix go first.
# shellcheck source=tests/real_window/x11_session.sh
source tests/real_window/x11_session.sh
# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
unset LSAN_OPTIONS  # for the sanitized Linux game, not for Wine
trap 'wineserver -k 2>/dev/null || true; x11_session_end' EXIT
if ! x11_session_display; then
    echo "windows: Xvfb did not start"
    echo "windows: $passed passed, $((failed + 1)) failed"
    exit 1
fi

if [ ! -d "$WINEPREFIX" ]; then
    echo "== Creating the Wine prefix $WINEPREFIX"
    timeout 600 "$wine" wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi

# ---- The engine's test programs -----------------------------------------------------------------

echo "== Test programs under Wine ($WINEARCH)"
check "the engine's test programs pass under Wine" \
    ctest --preset "$preset"

# ---- The game, played -------------------------------------------------------------------------

window=""
shot="$work/shot.png"
capture() { import -window "$window" "$shot"; }
pixel() { convert "$shot" -format "%[hex:p{$1,$2}]" info:; }

# The button, unchanged and centred on grey: its magenta pixels show the background.
convert assets/button.bmp -fill '#808080' -opaque '#FF00FF' "$work/expected.png"
button_width=$(identify -format '%w' assets/button.bmp)
button_height=$(identify -format '%h' assets/button.bmp)
button_x=$(((512 - button_width) / 2))
button_y=$(((448 - button_height) / 2))
button_shows() {
    local differing
    differing=$(convert "$shot" -crop "${button_width}x${button_height}+$button_x+$button_y" \
        +repage png:- | compare -metric AE - "$work/expected.png" null: 2>&1) || true
    [ "$differing" = 0 ]
}

window_opens() {
    # Started outside its folder: button.bmp is found beside taspo.exe.
    (cd "$work" && exec "$wine" "$root/build/$preset/taspo.exe") >"$work/game.log" 2>&1 &
    game_pid=$!
    window=$(timeout 60 xdotool search --sync --name '^Taspo$' | head -n 1) || true
    [ -n "$window" ]
}

client_area_is_512_by_448() {
    local geometry
    geometry=$(xwininfo -id "$window")
    grep -q 'Width: 512$' <<<"$geometry" && grep -q 'Height: 448$' <<<"$geometry"
}

# The first frames: grey everywhere, the centre included, before the button is due.
shown_at=0
starts_grey() {
    for _ in $(seq 50); do
        capture
        if [ "$(pixel 5 5)" = 808080 ]; then
            shown_at=$(now_ms)
            [ "$(pixel 255 223)" = 808080 ]
            return
        fi
        sleep 0.1
    done
    return 1
}

wait_for_button() {  # wait_for_button SECONDS
    local deadline=$(($(now_ms) + $1 * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        capture
        button_shows && return 0
    done
    return 1
}

button_after_a_second() {
    wait_for_button 6 || return 1
    local delay=$(($(now_ms) - shown_at))
    echo "  (the button showed ${delay} ms after the first grey frame)"
    [ "$delay" -ge 400 ] && [ "$delay" -le 4000 ]
}

# Space while the button shows; the button may vanish between a look and the key, so a few tries.
space_scores_a_hit() {
    xdotool windowfocus --sync "$window"
    local try
    for try in 1 2 3 4; do
        if [ "$try" -gt 1 ]; then
            wait_for_button 8 || return 1
        fi
        # Held while we look: a press shorter than a frame on a busy machine is never seen.
        xdotool keydown space
        for _ in 1 2 3; do
            capture
            if [ "$(pixel 5 5)" = C0C0FF ]; then
                xdotool keyup space
                return 0
            fi
        done
        xdotool keyup space
    done
    return 1
}

close_request_ends_with_0() {
    scripts/x11-probe.sh close "$window" || return 1
    local pid=$game_pid status=0
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$pid" 2>/dev/null && return 1
    game_pid=""
    wait "$pid" || status=$?
    echo "  (exit code $status)"
    [ "$status" -eq 0 ]
}

echo "== The game under Wine in Xvfb"
if check "the window titled \"Taspo\" opens" window_opens; then
    check "its client area is 512 by 448" client_area_is_512_by_448
    check "it is painted 0x808080" starts_grey
    check "the button shows centred, magenta left out, after about a second" button_after_a_second
    check "space while it shows turns the background 0xC0C0FF" space_scores_a_hit
    check "WM_DELETE_WINDOW ends the game with exit code 0" close_request_ends_with_0
fi
if [ "$failed" -gt 0 ] && [ -s "$work/game.log" ]; then
    echo "-- the game's output:"
    cat "$work/game.log"
fi

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
