#!/usr/bin/env bash
# clang-tidy with the committed .clang-tidy over every source file of code/, from the dev build's
# compile database (configured here when missing), two files at a time. Counts the files: a
# source file or header with any finding has failed, and so has the run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" clang-tidy python3
[ -f build/dev/compile_commands.json ] || cmake --preset dev >/dev/null

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy -p build/dev -j2 -quiet "$root/code/" >"$log" 2>&1 || status=$?
# The findings, without the colours, the commands and the "N warnings generated" lines.
sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -vE '^clang-tidy(-[0-9]+)? |warnings? generated\.$' || true

files=$(python3 -c '
import json, sys
code = sys.argv[1] + "/code/"
print(len({entry["file"] for entry in json.load(open("build/dev/compile_commands.json"))
           if entry["file"].startswith(code)}))' "$root")
flagged=$(sed 's/\x1b\[[0-9;]*m//g' "$log" |
    grep -oE "^$root/code/[^:]+:[0-9]+:[0-9]+: (warning|error):" | cut -d: -f1 | sort -u || true)
failed=$(grep -c . <<<"$flagged" || true)
flagged_sources=$(grep -c '\.cpp$' <<<"$flagged" || true)
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1  # clang-tidy itself failed without naming a file
fi
echo "clang-tidy: $((files - flagged_sources)) passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
