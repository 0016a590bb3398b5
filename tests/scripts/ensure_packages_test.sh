#!/usr/bin/env bash
# Checks scripts/ensure-packages.sh against a make-believe registry: apt-get, dpkg and dpkg-query
# are stand-ins that keep their state in a temporary folder, so every failure a real mirror can
# show (a partial update, a flaky install, a missing package, no i386 index) is played on demand.
set -euo pipefail
# shellcheck source=SCRIPTDIR/../../scripts/ensure-packages.sh
source "$(dirname "$0")/../../scripts/ensure-packages.sh"
# shellcheck source=SCRIPTDIR/../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
mkdir "$state/bin"
export PATH="$state/bin:$PATH" STATE=$state

# The registry has every package but those in $state/unavailable, and ":i386" ones only while the
# i386 architecture is added. $state/flaky makes the next install fail once.
cat >"$state/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "$*" >>"$STATE/log"
[ "$1" = update ] && exit "$(cat "$STATE/update-status" 2>/dev/null || echo 0)"
shift 4  # install -y -qq --no-install-recommends
if [ -e "$STATE/flaky" ]; then rm "$STATE/flaky"; exit 100; fi
for package in "$@"; do
    if grep -qx "$package" "$STATE/unavailable" 2>/dev/null ||
        { [[ $package == *:i386 ]] && ! grep -qx i386 "$STATE/architectures" 2>/dev/null; }; then
        echo "E: Unable to locate package $package" >&2
        exit 100
    fi
done
printf '%s\n' "$@" >>"$STATE/installed"
STUB
cat >"$state/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
if [ $# -eq 2 ]; then  # -W -f='${Architecture}\n': the architecture of every installed package
    sed 's/.*:i386$/i386/; t; s/.*/amd64/' "$STATE/installed"
    exit
fi
grep -qx "$3" "$STATE/installed" && echo "install ok installed"
STUB
cat >"$state/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
touch "$STATE/architectures"
case $1 in
    --print-foreign-architectures) cat "$STATE/architectures" ;;
    --add-architecture) echo "$2" >>"$STATE/architectures" ;;
    --remove-architecture) sed -i "/^$2\$/d" "$STATE/architectures" ;;
esac
STUB
chmod +x "$state/bin/"*


# fresh [UNAVAILABLE...]: a machine with only "base" installed and no foreign architecture.
fresh() {
    rm -f "$state/log" "$state/flaky" "$state/update-status" "$state/architectures"
    echo base >"$state/installed"
    printf '%s\n' "$@" >"$state/unavailable"
    TASPO_RUNS_32BIT=yes
}
installed() { grep -qx "$1" "$state/installed"; }
updates() { [ "$(grep -c '^update' "$state/log" 2>/dev/null || true)" -eq "$1" ]; }
says() { grep -qF "$1" "$state/out"; }
lines() { [ "$(wc -l <"$state/$1")" -eq "$2" ]; }

quiet_when_all_there() { [ ! -e "$state/log" ] && lines out 0; }
fresh
ensure_packages base >"$state/out" 2>&1
check "nothing missing: no update, no install, nothing said" quiet_when_all_there

goes_on_after_partial_update() {
    says "fetched only some package indexes" && installed cmake && installed make
}
fresh
echo 100 >"$state/update-status"
ensure_packages cmake make >"$state/out" 2>&1
check "a partial update is said in one line and the install goes on" goes_on_after_partial_update

retried_after_update() { updates 2 && installed cmake; }
fresh
touch "$state/flaky"
ensure_packages cmake >"$state/out" 2>&1
check "a failed install is tried again after a fresh update" retried_after_update

one_line_naming_it() { lines err 1 && grep -q "required package(s) no-such-package$" "$state/err"; }
rest_installed() { installed cmake && installed make; }
fresh no-such-package
status=0
ensure_packages cmake no-such-package make >"$state/out" 2>"$state/err" || status=$?
check "a required package that cannot be had fails the call" [ "$status" -ne 0 ]
check "with one line naming that package, and no other" one_line_naming_it
check "what could be installed is" rest_installed

named_in_one_line() { grep -q "without the optional wine32:i386 no-such-package:" "$state/out" && lines out 2; }
architecture_taken_back() { installed wine && ! grep -q . "$state/architectures"; }
fresh wine32:i386 no-such-package
status=0
ensure_optional_packages wine wine32:i386 no-such-package >"$state/out" 2>&1 || status=$?
check "optional packages that cannot be had do not fail the call" [ "$status" -eq 0 ]
check "they are named in one line" named_in_one_line
check "the rest is installed, and the unused i386 architecture taken away again" architecture_taken_back

came_in_with_architecture() { installed wine32:i386 && grep -qx i386 "$state/architectures"; }
fresh
ensure_optional_packages wine32:i386 >"$state/out" 2>&1
check "where 32-bit code runs and the index has it, wine32:i386 comes in with its architecture" \
    came_in_with_architecture

left_out_untouched() { says "cannot run 32-bit programs" && lines out 1 && [ ! -e "$state/log" ]; }
fresh
export TASPO_RUNS_32BIT=no
ensure_optional_packages wine32:i386 >"$state/out" 2>&1
check "where 32-bit code cannot run, 32-bit packages are left out in one line, apt untouched" \
    left_out_untouched

checks_passed
