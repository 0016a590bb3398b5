#!/usr/bin/env bash
# Runs the real-window tests' X11 client (tests/real_window/x11_probe.cpp) outside a CMake build:
# compiled once into build/ (it needs g++ and libx11-dev). Arguments as x11_probe's.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
probe="$root/build/x11_probe"
source="$root/tests/real_window/x11_probe.cpp"
if [ ! -x "$probe" ] || [ "$source" -nt "$probe" ]; then
    mkdir -p "$root/build"
    c++ -std=c++17 -Wall -Wextra -Werror -O2 -o "$probe.tmp.$$" "$source" -lX11
    mv "$probe.tmp.$$" "$probe"
fi
exec "$probe" "$@"
