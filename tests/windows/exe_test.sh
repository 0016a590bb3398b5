#!/usr/bin/env bash
# What the 32-bit taspo.exe's PE file says, one case per run:
#   i386           a 32-bit PE
#   gui-subsystem  a GUI program, no console
#   system-dlls    it imports only KERNEL32, USER32, GDI32 and msvcrt
#   icon-group     its icon group 102 holds 16, 32 and 48 pixels, each in 16 and 256 colours
# Usage: exe_test.sh <case> <taspo.exe> <objdump> <windres>
set -euo pipefail
case=$1 exe=$2 objdump=$3 windres=$4
fail() { echo "taspo.exe ($case): $*" >&2; exit 1; }
headers=$("$objdump" -p "$exe")

case "$case" in
    i386) grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit PE" ;;
    gui-subsystem) grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not the GUI subsystem" ;;
    system-dlls)
        while read -r dll; do
            case "${dll,,}" in
                kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll) ;;
                *) fail "imports $dll" ;;
            esac
        done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
        ;;
    icon-group)
        group=$("$windres" -i "$exe" -O rc | sed -n '/^102 14 /,/^END/p')
        grep -q 'Has 6 elements' <<<"$group" || fail "no icon group 102 of six images"
        for size in 020 040 060; do
            grep -qF "\"\\$size\\$size\\020\\000\", 1, 4," <<<"$group" || fail "no 16-colour $size"
            grep -qF "\"\\$size\\$size\\000\\000\", 1, 8," <<<"$group" || fail "no 256-colour $size"
        done
        ;;
    *) fail "unknown case" ;;
esac
echo "taspo.exe ($case): passed"
