#!/usr/bin/env bash
# The engine's unit tests as 32-bit Linux programs: 32-bit pointers, 24-byte arena headers and SSE2
# float arithmetic, as in the 32-bit Windows build. Runs them natively where this machine executes
# 32-bit programs, and under qemu-i386 user-mode emulation elsewhere. Exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages cmake make g++ g++-multilib googletest qemu-user
jobs=$(nproc)

# The soak test plays a million frames; the native leg runs it, and under emulation it would take
# the better part of an hour.
emulator=""
if runs_32bit_code; then
    echo "== 32-bit Linux tests, run natively"
else
    emulator=$(command -v qemu-i386)
    export GTEST_FILTER='-SoakTest.*'
    echo "== 32-bit Linux tests, run under $emulator (without the soak test)"
fi
cmake --preset linux32 -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" >/dev/null
cmake --build --preset linux32 -j"$jobs"

# Each program leaves its own report of its cases; ctest counts whole programs.
results="$PWD/build/linux32/results"
rm -rf "$results"
mkdir -p "$results"
export GTEST_OUTPUT="xml:$results/"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
ctest --test-dir build/linux32 --output-on-failure --timeout 600 -j"$jobs" 2>&1 | tee "$log" || status=1

# The cases the programs ran and failed; a program that died before its report still counts
# through ctest's tally of failed programs.
read -r cases failures < <(cat "$results"/*.xml 2>/dev/null |
    sed -n 's/^<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)".*/\1 \2/p' |
    awk '{ cases += $1; failures += $2 } END { print cases + 0, failures + 0 }')
read -r programs_failed < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of.*/\1/p' "$log") || true
failed=$((failures > ${programs_failed:-1} ? failures : ${programs_failed:-1}))
echo "linux32: $((cases - failures)) passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
