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

passed=0
failed=0
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# count PASSED FAILED: adds one leg's figures to the closing line. A leg that gave no figures
# counts as one failure, so a leg that died early cannot pass unseen.
count() {
    passed=$((passed + ${2:-0}))
    failed=$((failed + ${3:-1}))
    [ "${3:-1}" -eq 0 ] || status=1
}

# leg NAME COMMAND...: runs a leg whose last line is "NAME: N passed, M failed".
leg() {
    local name=$1 leg_passed leg_failed
    shift
    "$@" 2>&1 | tee "$log" || status=1
    read -r leg_passed leg_failed < <(sed -n "s/^$name: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p" "$log" | tail -n 1) || true
    count "$leg_passed" "$leg_failed"
}

cmake --preset dev >/dev/null
cmake --build --preset dev -j"$jobs"
ctest --preset dev -j"$jobs" 2>&1 | tee "$log" || status=1
# ctest's summary: "NN% tests passed, F tests failed out of T"
read -r ctest_failed ctest_total < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log") || true
count $(( ${ctest_total:-0} - ${ctest_failed:-0} )) "${ctest_failed:-1}"

leg windows scripts/windows-tests.sh
leg web scripts/web-tests.sh

echo "taspo: $passed passed, $failed failed"
exit $status
