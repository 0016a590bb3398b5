#!/usr/bin/env bash
# The browser build, tested: builds the engine's test programs for wasm32 (GoogleTest built from
# Debian's source once, in build/web) and runs them under node, then plays the game in headless
# Chromium served from 127.0.0.1 (tests/web/browser_test.mjs). Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${WEB_PACKAGES[@]}" chromium python3
jobs=$(nproc)

node_major=$(node --version 2>/dev/null | sed -n 's/^v\([0-9]*\)\..*/\1/p')
if [ "${node_major:-0}" -lt 20 ]; then
    echo "web-tests: Playwright needs node 20 or later on PATH (found ${node_major:-none})"
    echo "web: 0 passed, 1 failed"
    exit 1
fi
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent

passed=0
failed=0
log=$(mktemp)
junit=$(mktemp)
trap 'rm -f "$log" "$junit"' EXIT

echo "== Browser build and the engine's tests as wasm32"
cmake --preset web >/dev/null
cmake --build --preset web -j"$jobs"
cmake --build --preset web -j"$jobs" --target taspo_without_button taspo_fullscreen_config

echo "== The engine's test programs under node (wasm32)"
ctest --test-dir build/web --output-on-failure --timeout 300 --output-junit "$junit" || true
python3 scripts/junit-count.py "$junit" 2>&1 | tee "$log" || true
read -r ctest_passed ctest_failed < <(sed -n 's/^ctest: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log") || true
passed=$((passed + ${ctest_passed:-0}))
failed=$((failed + ${ctest_failed:-1}))

echo "== The game in headless Chromium"
node tests/web/browser_test.mjs build/web 2>&1 | tee "$log" || true
read -r browser_passed browser_failed < <(sed -n 's/^browser: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log") || true
passed=$((passed + ${browser_passed:-0}))
failed=$((failed + ${browser_failed:-1}))

echo "web: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
