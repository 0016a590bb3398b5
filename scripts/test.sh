#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test: the unit and frame-by-frame tests, the loader corpus, the real window under
# Xvfb, shellcheck and clang-tidy, and the Windows build with its tests under Wine. Exits non-zero
# when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev googletest \
    xvfb xauth xdotool x11-utils imagemagick libx11-dev python3
jobs=$(nproc)

passed=0
failed=0
status=0
log=$(mktemp)
junit=$(mktemp)
tests=$(mktemp)
trap 'rm -f "$log" "$junit" "$tests"' EXIT

# count PASSED FAILED: adds one leg's figures to the closing line. A leg that gave no figures
# counts as one failure, so a leg that died early cannot pass unseen.
count() {
    passed=$((passed + ${1:-0}))
    failed=$((failed + ${2:-1}))
    [ "${2:-1}" -eq 0 ] || status=1
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
ctest --preset dev -j"$jobs" --output-junit "$junit" || status=1
# The count comes from ctest's JUnit file; a test without a label fails it too.
ctest --preset dev --show-only=json-v1 >"$tests"
leg ctest python3 scripts/junit-count.py "$junit" "$tests"

leg shellcheck scripts/shellcheck.sh
leg clang-tidy scripts/clang-tidy.sh

leg windows scripts/windows-tests.sh
leg linux32 scripts/linux32-tests.sh
leg package scripts/package-tests.sh
leg web scripts/web-tests.sh

echo "taspo: $passed passed, $failed failed"
exit $status
