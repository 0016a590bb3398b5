#!/usr/bin/env bash
# The .deb as a distribution sees it: named after the version, laid out as Debian lays out a game,
# its Depends from the libraries the game links, no lintian error, a valid desktop entry and a
# manual page that renders without warnings. Environment: see tests/packaging/CMakeLists.txt.
set -euo pipefail
# shellcheck source=SCRIPTDIR/../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
deb=$TASPO_DIST/taspo_${TASPO_VERSION}_amd64.deb
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
indent() { sed 's/^/  /'; }

[ -f "$deb" ] || { echo "  FAILED: no $deb"; exit 1; }
dpkg-deb -x "$deb" "$work"
installed=$work/usr

lays_out_as_a_game() {
    local file
    for file in games/taspo share/games/taspo/button.bmp share/applications/taspo.desktop \
        share/icons/hicolor/{16x16,32x32,48x48}/apps/taspo.png share/man/man6/taspo.6.gz \
        share/doc/taspo/copyright share/metainfo/invalid.taspo.taspo.metainfo.xml; do
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
check "it installs the game in /usr/games, its data, desktop entry, icons, manual and copyright" \
    lays_out_as_a_game
check "its dependencies come from the libraries the game links" depends_on_what_it_links
check "lintian reports no error" lintian_finds_no_error
check "the desktop entry validates" desktop-file-validate "$installed/share/applications/taspo.desktop"
check "the manual page renders without warnings" manual_renders_without_warnings
stat -c '  %s bytes  %n' "$deb"
checks_passed
