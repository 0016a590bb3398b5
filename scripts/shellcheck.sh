#!/usr/bin/env bash
# Every shell script in the tree through shellcheck, following what each one sources: the .sh
# files and the extensionless ones that start with a bash or sh line. One count per script.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages shellcheck git

scripts=()
while IFS= read -r -d '' file; do
    [ -f "$file" ] || continue
    if [[ "$file" == *.sh ]] || head -n 1 "$file" | grep -qE '^#!.*\b(ba)?sh\b'; then
        scripts+=("$file")
    fi
done < <(git ls-files -z --cached --others --exclude-standard)

passed=0
failed=0
for script in "${scripts[@]}"; do
    if shellcheck -x "$script"; then
        passed=$((passed + 1))
    else
        echo "  FAILED: $script"
        failed=$((failed + 1))
    fi
done
echo "shellcheck: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
