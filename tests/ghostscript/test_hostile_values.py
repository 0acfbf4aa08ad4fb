"""Hostile option values run in Ghostscript with the device procedures stood in for
(tests/fixtures/device-prelude.ps): control bytes reach the device exactly and start no line of the
job, and the marking's numbers are the ones an interpreter holds.

  python3 test_hostile_values.py --filter build/Filter/jobtypefilter --fixtures tests/fixtures
"""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "process"))
import expected_splice as ex  # noqa: E402
from device_output import GS, device_calls, run_gs  # noqa: E402

ARGS = None  # set by run_unittests

# CR and LF alone and together, a planted document-structure comment, the switch to the printer's
# job language, ^D (end of job on a serial channel), DEL, and a digit right after an escape.
CONTROL_VALUES = [
    b"a\rb", b"a\nb", b"a\r\nb", b"\n%%EOF\n", b"\r%%Page: 1 1\r", b"\x1b%-12345X@PJL\r\n",
    b"x\x04y", b"\x7f", b"\x01" + b"9", bytes(range(1, 32)) + b"\x7f",
]
JOB_KEYS = ["UserID", "Password", "FileName", "UserCode"]
MARKING = {"CCPCopyControlType": "Copy Guard", "CCPSize": "24", "CCPAngle": "45",
           "CCPLineSpace": "10", "CCPRepeat": "Off", "CCPTextType": "User Defined"}


def fixture(name):
    return os.path.join(ARGS.fixtures, name)


def marking(key, value):
    """A copy guard with the loop attributes and `key` set to `value`."""
    return {"UserID": "u", "CCPFont": "F", **MARKING, "CCPRepeat": "Repeat", key: value}


def comment_lines(data):
    """The lines of a job that begin with "%", where later stages look for DSC comments."""
    return [line for line in data.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
            if line.startswith(b"%")]


class HostileValuesInGhostscript(unittest.TestCase):

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="jobtypefilter-hostile-")
        self.addCleanup(self.tmp.cleanup)
        with open(fixture("ghostscript-probe-job.ps"), "rb") as f:
            self.job = f.read()

    def device_calls_for(self, options):
        """Runs the probe job filtered with `options` in Ghostscript; the filtered job must hold the
        job's own comment lines and no others. Answers the filtered job and the device calls."""
        result = ex.run_filter(ARGS.filter, options, job=self.job)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(comment_lines(result.stdout), comment_lines(self.job))
        path = os.path.join(self.tmp.name, "filtered.ps")
        with open(path, "wb") as f:
            f.write(result.stdout)
        stdout, _ = run_gs(self, [fixture("device-prelude.ps"), path])
        return result.stdout, device_calls(stdout)

    def test_control_bytes_reach_the_device_exactly_and_start_no_line(self):
        for value in CONTROL_VALUES:
            with self.subTest(value=value):
                options = {"JobType": "Document Server", "EnableUserCode": "true",
                           "CCPFont": value, "CCPCustomText": value, **MARKING}
                options.update({key: value for key in JOB_KEYS})
                output, calls = self.device_calls_for(options)
                stamp = ex.STAMP_RE.search(output).group(1)
                self.assertEqual(calls[:2], [("setuserinfo", [value, value, stamp]),
                                             ("storedprint", [value, stamp, value, value])])
                self.assertEqual(calls[2][0], "SetMarkingType")
                attributes = calls[2][1][0]["StringAttributes"]
                self.assertEqual((attributes["FontName"], attributes["String"]), (value, value))

    def test_reserved_time_and_marking_names_take_control_bytes_too(self):
        value = b"12\r\n%%EOF\x1b\x04"
        _, calls = self.device_calls_for({
            "JobType": "Paused Print", "UserID": "u", "FileName": "f",
            "SpecifyTimeKeySupport": "true", "EnableSpecifyTime": "true", "SpecifyTime": value,
            "CCPFont": "F", "CCPUserName": value, "CCPJobName": value, **MARKING,
            "CCPTextType": "Login User Name + PrintJob Name"})
        calls = dict(calls)
        self.assertEqual(calls["SetJobType"][0]["JobInfo"]["PrintReservedTime"], value)
        self.assertEqual(calls["SetMarkingType"][0]["StringAttributes"]["String"],
                         value + b" + " + value)

    def gs_outcomes(self, values):
        """For each value: True when Ghostscript scans it and computes with it inside "stopped",
        False when it raises an error."""
        script = os.path.join(self.tmp.name, "numbers.ps")
        with open(script, "wb") as f:
            for value in values:
                f.write(b"{ (%s) cvx exec 1 mul abs 0 add pop } stopped "
                        b"{ (E) } { (N) } ifelse print\n" % value.encode())
        result = subprocess.run(GS + [script], capture_output=True, timeout=60)
        self.assertEqual(len(result.stdout), len(values), result.stdout + result.stderr)
        return [c == ord("N") for c in result.stdout]

    def test_numbers_are_taken_only_as_far_as_an_interpreter_holds_them(self):
        keys = {"CCPSize": "FontSize", "CCPAngle": "StringAngle",
                "CCPLineSpace": "StringLoopInterval"}
        taken = ["24", "-45", "10.5", ".5", "1e3", "3.4e38", "-3.4e38", "1e-38", "0e99",
                 "16#7FFFFFFF", "2#" + "1" * 31, "99999999999", "1." + "0" * 62]
        # Ghostscript raises limitcheck scanning these (before the block's "stopped", so the
        # whole job would be lost) or undefinedresult computing with them.
        beyond = ["1e39", "1e999", "3.5e38", "3.4028236e38", "1" + "0" * 39,
                  "16#1FFFFFFFFFFFFFFFF", "36#ZZZZZZZZZZZZZZZZZZZZ", "1e-1000", "0e99999",
                  "0" * 1200 + "1", "1." + "0" * 400 + "1"]
        # Ghostscript holds these, other interpreters need not: reals below 1e-38, radix numbers
        # past 31 bits, long exponents and tokens.
        narrower = ["1e-39", "16#80000000", "0e100", "1." + "0" * 63]
        self.assertEqual(self.gs_outcomes(taken + beyond + narrower),
                         [True] * len(taken) + [False] * len(beyond) + [True] * len(narrower))
        for key, attribute in keys.items():
            for value in taken:
                with self.subTest(key=key, value=value):
                    _, calls = self.device_calls_for(marking(key, value))
                    attributes = dict(calls)["SetMarkingType"][0]["StringAttributes"]
                    got = attributes.get(attribute,
                                         attributes["StringLoopAttributes"].get(attribute))
                    expected = int(value.split("#")[1], int(value.split("#")[0])) \
                        if "#" in value else float(value)
                    self.assertAlmostEqual(got / expected if expected else got, 1 if expected else 0,
                                           places=5)
            for value in beyond + narrower:
                with self.subTest(key=key, value=value[:40]):
                    run = ex.run_filter(ARGS.filter, marking(key, value), job=self.job)
                    self.assertEqual(run.returncode, 1)
                    self.assertIn(b"is a number beyond a PostScript interpreter's limits",
                                  run.stderr)
                    self.assertNotIn(b"{setuserinfo}", run.stdout)


if __name__ == "__main__":
    ex.run_unittests("filter", "fixtures")
