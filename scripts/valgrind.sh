#!/usr/bin/env bash
# valgrind's memcheck over every test case and over a few seconds of the real game: builds the
# `valgrind` preset (Debug, no sanitizers: build/valgrind), whose CTest runs each case under
# memcheck (the soak test with 20000 frames instead of a million) and plays the game under it in a
# virtual X display, recording, until a target has come and gone, stopped with SIGTERM; the
# recording must then check clean. Any memcheck error, or a leak outside
# the suppressions in scripts/valgrind.supp (what SDL, X11 and D-Bus keep for the life of the
# process), fails that test. Too slow for the test command: run it by hand after changing memory
# handling.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" valgrind libgtest-dev googletest xvfb xauth libx11-dev
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) exec cmake --workflow --preset valgrind
