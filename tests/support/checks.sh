# shellcheck shell=bash
# Sourced by the test scripts that are a list of checks: `check DESCRIPTION COMMAND...` runs the
# command and says ok or FAILED; `checks_passed` then tells whether every check so far passed, so
# the script ends with it. CTest counts the script as one test.
checks_failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what"
        checks_failed=1
    fi
}
checks_passed() {
    [ "$checks_failed" -eq 0 ]
}
