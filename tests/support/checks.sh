# shellcheck shell=bash
# Sourced by the test scripts that are a list of checks: `check DESCRIPTION COMMAND...` runs the
# command and says ok or FAILED; any failure leaves checks_failed set, so the script ends with
# `[ "$checks_failed" -eq 0 ]`. CTest counts the script as one test.
# shellcheck disable=SC2034  # read by the scripts that source this file
checks_failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what"
        # shellcheck disable=SC2034  # read by the scripts that source this file
        checks_failed=1
    fi
}
