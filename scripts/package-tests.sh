#!/usr/bin/env bash
# The packages, checked as a user and a distribution would: builds them with scripts/package.sh,
# unpacks the .deb into a scratch root and starts the game from there, from an unrelated working
# directory under Xvfb, until it shows the grey window and then the button; lintian, the desktop
# entry, the manual page and the zip's contents. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" dpkg-dev lintian desktop-file-utils man-db groff-base \
    g++-mingw-w64-i686-posix unzip xvfb xdotool imagemagick libx11-dev
source tests/real_window/x11_session.sh

source scripts/checks.sh
passed=0
failed=0

indent() { sed 's/^/  /'; }

echo "== Building the packages"
scripts/package.sh
version=$(sed -n 's/^project(taspo VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
deb=dist/taspo_${version}_amd64.deb
zip=dist/taspo-${version}-win32.zip

# The session's scratch folder and game, which x11_session_begin and x11_session_end look after.
work=""
game_pid=""
x11_session_begin
unpacked="$work/root"
dpkg-deb -x "$deb" "$unpacked"
installed=$unpacked/usr

echo "== The .deb"
lays_out_as_a_game() {
    local file
    for file in games/taspo share/games/taspo/button.bmp share/applications/taspo.desktop \
        share/icons/hicolor/{16x16,32x32,48x48}/apps/taspo.png share/man/man6/taspo.6.gz \
        share/doc/taspo/copyright; do
        [ -f "$installed/$file" ] || { echo "  no /usr/$file"; return 1; }
    done
}
depends_on_what_it_links() {
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "  (Depends: $depends)"
    grep -q 'libsdl2-2.0-0' <<<"$depends" && grep -q 'libc6' <<<"$depends"
}
lintian_finds_no_error() {
    local report
    report=$(lintian "$deb" 2>/dev/null) || true
    [ -z "$report" ] || indent <<<"$report"
    ! grep -q '^E:' <<<"$report"
}
manual_renders_without_warnings() {
    local warnings
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$installed/share/man/man6/taspo.6.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || indent <<<"$warnings"
    [ -z "$warnings" ]
}
check "it is named after the project's version, $version" test -f "$deb"
check "it installs the game in /usr/games, its data, desktop entry, icons, manual and copyright" \
    lays_out_as_a_game
check "its dependencies come from the libraries the game links" depends_on_what_it_links
check "lintian reports no error" lintian_finds_no_error
check "the desktop entry validates" desktop-file-validate "$installed/share/applications/taspo.desktop"
check "the manual page renders without warnings" manual_renders_without_warnings

echo "== The unpacked game, from an unrelated working directory"
elsewhere="$work/elsewhere"
mkdir -p "$elsewhere" "$work/home"
taspo=$installed/games/taspo
answers() {  # answers EXPECTED-CODE EXPECTED-OUTPUT-PATTERN ARGUMENT
    local output status=0
    output=$(cd "$elsewhere" && "$taspo" "$3" 2>&1) || status=$?
    [ "$status" -eq "$1" ] && grep -q "$2" <<<"$output"
}
check "taspo --version prints $version" answers 0 "^taspo $version\$" --version
check "taspo --help names the installed data directory" answers 0 /usr/share/games/taspo/ --help
check "an unknown option is exit code 2" answers 2 'unknown option "--nonsense"' --nonsense

probe() { scripts/x11-probe.sh "$@"; }
window=""
window_opens() {
    x11_session_display || return 1
    (cd "$elsewhere" && HOME="$work/home" XDG_CONFIG_HOME="" exec "$taspo") >"$work/game.log" 2>&1 &
    # shellcheck disable=SC2034  # x11_session_end stops the game when the script ends
    game_pid=$!
    window=$(probe find Taspo 10000)
}
# The button, unchanged and centred on grey: its magenta pixels show the background.
button_shows() {
    probe wait-not "$window" 256 224 808080 6000 || return 1
    probe shot "$window" "$work/shot.ppm"
    convert "$installed/share/games/taspo/button.bmp" -fill '#808080' -opaque '#FF00FF' \
        "$work/expected.png"
    local width height differing
    width=$(identify -format '%w' "$work/expected.png")
    height=$(identify -format '%h' "$work/expected.png")
    differing=$(convert "$work/shot.ppm" -crop "${width}x${height}+$(((512 - width) / 2))+$(((448 - height) / 2))" \
        +repage png:- | compare -metric AE - "$work/expected.png" null: 2>&1) || true
    [ "$differing" = 0 ]
}
if check "the window titled \"Taspo\" opens" window_opens; then
    check "it is grey" probe wait "$window" 5 5 808080 3000
    check "then the button from /usr/share/games/taspo/ shows, centred" button_shows
    probe close "$window" || true
fi
if [ "$failed" -gt 0 ] && [ -s "$work/game.log" ]; then
    echo "-- the game's output:"
    cat "$work/game.log"
fi

echo "== The zip"
zip_holds_exactly_its_three_files() {
    local listed expected
    listed=$(unzip -Z1 "$zip" | sort)
    expected=$(printf "taspo-$version-win32/%s\n" README.txt button.bmp taspo.exe | sort)
    [ "$listed" = "$expected" ] || { echo "  holds: $listed"; return 1; }
}
exe_is_a_32bit_gui_pe() {
    unzip -q -o "$zip" -d "$work/zip"
    local headers
    headers=$(i686-w64-mingw32-objdump -p "$work/zip/taspo-$version-win32/taspo.exe")
    grep -q 'file format pei-i386' <<<"$headers" && grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"
}
readme_tells_keys_and_settings() {
    grep -q Escape "$1" && grep -q Space "$1" && grep -q taspo.cfg "$1"
}
check "it is named after the project's version, $version" test -f "$zip"
check "it holds exactly taspo.exe, button.bmp and README.txt" zip_holds_exactly_its_three_files
check "its taspo.exe is a 32-bit GUI PE" exe_is_a_32bit_gui_pe
check "its README.txt tells the keys and taspo.cfg" \
    readme_tells_keys_and_settings "$work/zip/taspo-$version-win32/README.txt"

echo "== Sizes"
stat -c '  %s bytes  %n' "$deb" "$zip"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
