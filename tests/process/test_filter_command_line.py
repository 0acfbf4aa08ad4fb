"""The filter run by hand: --help, --version and wrong argument counts answer one line on
standard error and status 1, while the CUPS argument counts (5 or 6 arguments) run the job.

  python3 test_filter_command_line.py --filter build/Filter/jobtypefilter --project-version 1.0.0
"""

import subprocess
import unittest

import expected_splice as ex

ARGS = None  # set by run_unittests
USAGE = b"Usage: jobtypefilter job-id user title copies options [file]\n"


def run(*arguments, job=b""):
    return subprocess.run([ARGS.filter, *arguments], input=job, capture_output=True, timeout=60)


class HandRun(unittest.TestCase):

    def test_one_line_and_status_1(self):
        version = f"jobtypefilter (Kordavine Job Log) {ARGS.project_version}\n".encode()
        cases = [
            ("help", ["--help"], USAGE),
            ("version", ["--version"], version),
            ("no arguments", [], USAGE),
            ("unknown option", ["--verbose"], USAGE),
            ("version with more", ["--version", "x"], USAGE),
            ("help among CUPS arguments", ["--help", "u", "t", "1"], USAGE),
            ("four arguments", ["1", "u", "t", "1"], USAGE),
            ("seven arguments", ["1", "u", "t", "1", "", "/dev/null", "x"], USAGE),
        ]
        job = b"%!PS\n%%BeginProlog\n"
        for name, arguments, line in cases:
            with self.subTest(name):
                result = run(*arguments, job=job)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr, line)
                self.assertEqual(result.stdout, b"")

    def test_cups_argument_counts_still_run_the_job(self):
        # "--help" as a job's title or options is no request for help under CUPS.
        job = b"%!PS\n%%Pages: 1\n"
        cases = [
            ("options only", ["1", "u", "t", "1", ""]),
            ("help as the title", ["1", "u", "--help", "1", "--version"]),
            ("job file", ["1", "u", "t", "1", "", "/dev/stdin"]),
        ]
        for name, arguments in cases:
            with self.subTest(name):
                result = run(*arguments, job=job)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, b"")
                self.assertEqual(result.stdout, job)


if __name__ == "__main__":
    ex.run_unittests("filter", "project-version")
