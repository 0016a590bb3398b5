#!/usr/bin/env python3
"""The count line of a ctest run, read from its JUnit file (ctest --output-junit JUNIT).

Prints each failed and skipped test, then "ctest: N passed, M failed"; a test skipped on purpose
counts as neither, one that could not run as failed, as ctest counts them. Given the run's test list too (ctest --show-only=json-v1 > TESTS), a test that carries
no CTest label counts as failed: every test carries one, so that `ctest -L` finds it.
A file that is missing or unreadable ends the run with a message and exit code 2.
Usage: scripts/junit-count.py JUNIT [TESTS]
"""
import json
import sys
import xml.etree.ElementTree as ElementTree


def unlabelled_tests(path):
    with open(path, encoding="utf-8") as file:
        tests = json.load(file)["tests"]
    return {
        test["name"]
        for test in tests
        if not any(p["name"] == "LABELS" and p["value"] for p in test.get("properties", []))
    }


# A test that said it cannot run here (SKIP_RETURN_CODE, SKIP_REGULAR_EXPRESSION) or is
# disabled; ctest also marks as not run, and counts as failed, one whose program or fixture failed.
def skipped_on_purpose(case):
    skipped = case.find("skipped")
    return case.get("status") == "disabled" or (
        skipped is not None and skipped.get("message", "").startswith("SKIP_")
    )


def main(junit, tests):
    try:
        cases = list(ElementTree.parse(junit).getroot().iter("testcase"))
        unlabelled = unlabelled_tests(tests) if tests else set()
    except (OSError, ValueError, KeyError, ElementTree.ParseError) as error:
        print(f"junit-count: {error}", file=sys.stderr)
        return 2
    if not cases:
        print(f"junit-count: {junit}: no test cases", file=sys.stderr)
        return 2
    passed = failed = skipped = 0
    for case in cases:
        name = case.get("name", "?")
        if case.find("failure") is not None or case.find("error") is not None:
            print(f"  FAILED: {name}")
            failed += 1
        elif name in unlabelled:
            print(f"  FAILED: {name} carries no label")
            failed += 1
        elif skipped_on_purpose(case):
            print(f"  skipped: {name}")
            skipped += 1
        elif case.get("status") == "notrun":  # no program, or a fixture that failed
            print(f"  FAILED: {name} did not run ({case.find('skipped').get('message', '')})")
            failed += 1
        else:
            passed += 1
    if skipped:
        print(f"  ({skipped} skipped)")
    print(f"ctest: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2] if len(sys.argv) == 3 else None))
