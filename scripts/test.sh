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
status=0
ctest --preset dev -j"$jobs" 2>&1 | tee "$log" || status=1
passed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$log" | awk '{print $1-$2}')
failed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of.*/\1/p' "$log")
rm -f "$log"

if [ -x scripts/windows-tests.sh ]; then
    scripts/windows-tests.sh || status=1
fi

echo "taspo: ${passed:-0} passed, ${failed:-0} failed (Linux test programs); Windows suite $([ $status -eq 0 ] && echo passed || echo see above)"
exit $status
