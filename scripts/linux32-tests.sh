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

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
ctest --test-dir build/linux32 --output-on-failure --timeout 600 -j"$jobs" 2>&1 | tee "$log" || status=1

# Each program is one ctest test; count the cases inside them from their own summaries. A program
# that died before its summary still counts through ctest's own tally of failed programs.
read -r passed failed < <(awk '
    /^\[  PASSED  \] [0-9]+ tests?\./ { passed += $4 }
    /^\[  FAILED  \] [0-9]+ tests?, listed below:/ { failed += $4 }
    /tests passed, [0-9]+ tests failed out of/ { programs = $4; seen = 1 }
    END { if (!seen) programs = 1; print passed + 0, (failed > programs ? failed : programs) }
' "$log")
echo "linux32: $passed passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
