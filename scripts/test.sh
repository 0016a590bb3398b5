#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test: the unit and frame-by-frame tests, the loader corpus, the real window under
# Xvfb, and the Windows build with its tests under Wine. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev googletest \
    xvfb xauth xdotool x11-utils imagemagick libx11-dev
jobs=$(nproc)

cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
ctest --preset dev -j"$jobs" 2>&1 | tee "$log" || status=1
# ctest's summary: "NN% tests passed, F tests failed out of T"
read -r failed total < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log") || true
passed=$(( ${total:-0} - ${failed:-0} ))
failed=${failed:-1}

scripts/windows-tests.sh 2>&1 | tee "$log" || status=1
read -r windows_passed windows_failed < <(sed -n 's/^windows: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log") || true
passed=$(( passed + ${windows_passed:-0} ))
failed=$(( failed + ${windows_failed:-1} ))

echo "taspo: $passed passed, $failed failed"
exit $status
