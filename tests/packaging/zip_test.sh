#!/usr/bin/env bash
# The Windows zip: named after the version, exactly taspo.exe, button.bmp, README.txt and
# LICENSE.txt in one folder, a 32-bit GUI program, and a README that tells the keys and taspo.cfg.
# Environment: see tests/packaging/CMakeLists.txt.
set -euo pipefail
# shellcheck source=SCRIPTDIR/../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
folder=taspo-$TASPO_VERSION-win32
zip=$TASPO_DIST/$folder.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -f "$zip" ] || { echo "  FAILED: no $zip"; exit 1; }
unzip -q -o "$zip" -d "$work"

holds_exactly_its_four_files() {
    local listed expected
    listed=$(unzip -Z1 "$zip" | sort)
    expected=$(printf "$folder/%s\n" LICENSE.txt README.txt button.bmp taspo.exe | sort)
    [ "$listed" = "$expected" ] || { echo "  holds: $listed"; return 1; }
}
exe_is_a_32bit_gui_pe() {
    local headers
    headers=$(i686-w64-mingw32-objdump -p "$work/$folder/taspo.exe")
    grep -q 'file format pei-i386' <<<"$headers" && grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"
}
readme_tells_keys_and_settings() {
    grep -q Escape "$1" && grep -q Space "$1" && grep -q taspo.cfg "$1"
}
check "it holds exactly taspo.exe, button.bmp, README.txt and LICENSE.txt" holds_exactly_its_four_files
check "its taspo.exe is a 32-bit GUI PE" exe_is_a_32bit_gui_pe
check "its README.txt tells the keys and taspo.cfg" \
    readme_tells_keys_and_settings "$work/$folder/README.txt"
stat -c '  %s bytes  %n' "$zip"
checks_passed
