# shellcheck shell=bash
# Sourced by the test legs that are a list of checks: `check DESCRIPTION COMMAND...` runs the
# command, says ok or FAILED, and counts it in the caller's $passed and $failed (which the caller
# starts at 0) for the leg's closing line.
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
        passed=$((passed + 1))
    else
        echo "  FAILED: $what"
        failed=$((failed + 1))
    fi
}
