#!/usr/bin/env bash
# Sends WM_DELETE_WINDOW to the X11 window whose id is given, on $DISPLAY. The small helper is
# compiled once into build/ (it needs cc and libx11-dev).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
helper="$root/build/x11-close"
source="$root/scripts/x11-close.c"
if [ ! -x "$helper" ] || [ "$source" -nt "$helper" ]; then
    mkdir -p "$root/build"
    cc -std=c99 -Wall -Wextra -Werror -O2 -o "$helper.tmp.$$" "$source" -lX11
    mv "$helper.tmp.$$" "$helper"
fi
exec "$helper" "$@"
