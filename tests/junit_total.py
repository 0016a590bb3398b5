#!/usr/bin/env python3
"""The test command's closing line, summed from the JUnit files of its legs.

Usage: tests/junit_total.py JUNIT...   (each written by ctest --output-junit)

Prints each failed and skipped test, one line per file, then "taspo: N passed, M failed". A test
skipped on purpose (SKIP_RETURN_CODE, SKIP_REGULAR_EXPRESSION, DISABLED) counts as neither; one
that could not run (no program, a failed fixture) as failed. A file that is missing, unreadable or
empty is a leg that did not run: one failure. A CTest test that writes a JUnit file of its own
beside its tree's, junit-<test>.xml (the browser checks under node:test), is counted by that
file's cases instead of as one. Exits 1 when anything failed.
"""
import os
import sys
import xml.etree.ElementTree as ElementTree


def cases_of(path):
    """The file's test cases, or None when it cannot be read or holds none."""
    try:
        cases = list(ElementTree.parse(path).getroot().iter("testcase"))
    except (OSError, ElementTree.ParseError) as error:
        print(f"  FAILED: {path}: {error}")
        return None
    if not cases:
        print(f"  FAILED: {path}: no test cases")
        return None
    return cases


def verdict(case):
    """'passed', 'failed' or 'skipped', with the reason for the last two."""
    skipped = case.find("skipped")
    if case.find("failure") is not None or case.find("error") is not None:
        return "failed", ""
    if case.get("status") == "disabled" or (
        skipped is not None and skipped.get("message", "").startswith("SKIP_")
    ):
        return "skipped", ""
    if case.get("status") == "notrun" or skipped is not None:
        message = skipped.get("message", "") if skipped is not None else ""
        return "failed", f" did not run ({message})"
    return "passed", ""


def tally(path, nested=True):
    """[passed, failed, skipped] of one file."""
    cases = cases_of(path)
    if cases is None:
        return [0, 1, 0]
    counts = [0, 0, 0]
    for case in cases:
        name = case.get("name", "?")
        result, reason = verdict(case)
        own = os.path.join(os.path.dirname(path), f"junit-{name}.xml")
        if nested and os.path.basename(path) == "junit.xml" and os.path.exists(own):
            inner = tally(own, nested=False)
            if result == "failed" and inner[1] == 0:
                print(f"  FAILED: {name}, though {own} holds no failure")
                inner[1] += 1
            counts = [a + b for a, b in zip(counts, inner)]
            continue
        if result != "passed":
            print(f"  {result.upper() if result == 'failed' else result}: {name}{reason}")
        counts[("passed", "failed", "skipped").index(result)] += 1
    return counts


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    total = [0, 0, 0]
    for path in paths:
        counts = tally(path)
        print(f"{path}: {counts[0]} passed, {counts[1]} failed, {counts[2]} skipped")
        total = [a + b for a, b in zip(total, counts)]
    print(f"taspo: {total[0]} passed, {total[1]} failed")
    return 1 if total[1] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
