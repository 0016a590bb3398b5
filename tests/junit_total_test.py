#!/usr/bin/env python3
"""The closing line's sum (tests/junit_total.py) over made-up JUnit files of the kinds ctest and
node:test write."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import junit_total  # noqa: E402

CTEST = """<testsuite tests="5">
<testcase name="A.Passes" status="run"/>
<testcase name="A.Fails" status="fail"><failure message="Failed"/></testcase>
<testcase name="hostile.no-user" status="notrun"><skipped message="SKIP_RETURN_CODE=77"/></testcase>
<testcase name="needs.fixture" status="notrun"><skipped message="Fixture required"/></testcase>
<testcase name="browser" status="run"/>
</testsuite>"""
NODE = """<testsuites><testsuite name="page"><testcase name="one"/><testcase name="two"/>
</testsuite><testcase name="three"><failure message="no"/></testcase></testsuites>"""


class JunitTotal(unittest.TestCase):
    def run_on(self, files, *names):
        with tempfile.TemporaryDirectory() as folder:
            for name, text in files.items():
                os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
                with open(os.path.join(folder, name), "w", encoding="utf-8") as file:
                    file.write(text)
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                code = junit_total.main([os.path.join(folder, name) for name in names])
        return code, out.getvalue().splitlines()[-1]

    def test_skips_count_as_neither_and_a_test_that_could_not_run_fails(self):
        self.assertEqual(self.run_on({"a/junit.xml": CTEST}, "a/junit.xml"),
                         (1, "taspo: 2 passed, 2 failed"))

    def test_a_tests_own_junit_file_counts_in_its_place(self):
        files = {"a/junit.xml": CTEST, "a/junit-browser.xml": NODE}
        self.assertEqual(self.run_on(files, "a/junit.xml"), (1, "taspo: 3 passed, 3 failed"))

    def test_a_leg_without_its_file_is_a_failure(self):
        files = {"a/junit.xml": '<testsuite><testcase name="x" status="run"/></testsuite>',
                 "c/junit.xml": "<testsuite/>"}
        self.assertEqual(self.run_on(files, "a/junit.xml", "b/junit.xml", "c/junit.xml"),
                         (1, "taspo: 1 passed, 2 failed"))
        self.assertEqual(self.run_on(files, "a/junit.xml"), (0, "taspo: 1 passed, 0 failed"))


if __name__ == "__main__":
    unittest.main()
