"""Filtered jobs run in Ghostscript, with the device procedures stood in for by
tests/fixtures/device-prelude.ps: the device gets the values asked for, byte for byte, and the
job runs to its end with or without those procedures.

  python3 test_device_calls.py --filter build/Filter/jobtypefilter --fixtures tests/fixtures
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


def fixture(name):
    return os.path.join(ARGS.fixtures, name)


def b(value):
    return ex.as_bytes(value)


def expected_calls(options, stamp):
    """What the device should be asked, for the options of one job."""
    uid = b(options.get("UserID", b""))
    code = b(options["UserCode"]) if ex.as_bytes(options.get("EnableUserCode", b"")).lower() \
        == b"true" else b""
    calls = [("setuserinfo", [uid, code, stamp])]
    job_type = options.get("JobType")
    pw, fn = b(options.get("Password", b"")), b(options.get("FileName", b""))
    if job_type == "Sample Print":
        calls.append(("proofprint", [uid, stamp]))
    elif job_type == "Locked Print":
        calls.append(("secureprint", [uid, stamp, pw]))
    elif job_type == "Document Server":
        calls.append(("storedprint", [uid, stamp, pw, fn]))
    elif job_type in ("Saved Print", "Save Document Print"):
        calls.append(("SetJobType", [{
            "JobType": 3,
            "JobInfo": {"UserID": uid, "Time": stamp, "Password": pw, "JobID": fn},
            "JobAttr": {"Save": 1 if job_type == "Saved Print" else 2, "Public": False},
        }]))
    elif job_type == "Paused Print":
        job = {"JobType": 3, "JobInfo": {"UserID": uid, "Time": stamp, "JobID": fn}}
        if options.get("SpecifyTimeKeySupport") == "true":
            job["JobAttr"] = {"Save": 0}
            if options.get("EnableSpecifyTime") == "true":
                # Ghostscript's copyright is not Adobe's: isGenuine is false, the time goes in.
                job["JobInfo"]["PrintReservedTime"] = b(options["SpecifyTime"])
        calls.append(("SetJobType", [job]))
    return calls


HOSTILE = {"UserID": "a(b\\", "Password": "12)", "FileName": b"Q3 (draft) \xc3\xbc\xff\\",
           "UserCode": "(0815"}
JOB_TYPES = [
    ("normal", {}),
    ("normal with user code", {"EnableUserCode": "true"}),
    ("sample", {"JobType": "Sample Print"}),
    ("locked", {"JobType": "Locked Print"}),
    ("document server", {"JobType": "Document Server", "EnableUserCode": "true"}),
    ("stored", {"JobType": "Saved Print"}),
    ("store and print", {"JobType": "Save Document Print"}),
    ("held, first form", {"JobType": "Paused Print"}),
    ("held, second form", {"JobType": "Paused Print", "SpecifyTimeKeySupport": "true"}),
    ("held, third form", {"JobType": "Paused Print", "SpecifyTimeKeySupport": "true",
                          "EnableSpecifyTime": "true", "SpecifyTime": "2026(03)02 1200\\"}),
]


class GhostscriptRuns(unittest.TestCase):

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="jobtypefilter-gs-")
        self.addCleanup(self.tmp.cleanup)
        with open(fixture("ghostscript-probe-job.ps"), "rb") as f:
            self.job = f.read()
        self.baseline = self.run_gs([fixture("ghostscript-probe-job.ps")])

    def filtered(self, options, job=None):
        result = ex.run_filter(ARGS.filter, options, job=self.job if job is None else job)
        self.assertEqual(result.returncode, 0, result.stderr)
        path = os.path.join(self.tmp.name, "filtered.ps")
        with open(path, "wb") as f:
            f.write(result.stdout)
        return path, ex.STAMP_RE.search(result.stdout).group(1)

    def run_gs(self, files):
        stdout, depths = run_gs(self, files)
        self.assertEqual(stdout.count(b"JOB prolog\n"), 1)
        return stdout, depths

    def assert_ran_to_its_end(self, job_end):
        # The splice leaves the operand and dictionary stacks as the job alone would.
        self.assertEqual(job_end, self.baseline[1])
        self.assertEqual(job_end[0], b"0")

    def test_device_gets_the_values_asked_for(self):
        for name, extra in JOB_TYPES:
            with self.subTest(name):
                options = dict(HOSTILE, **extra)
                path, stamp = self.filtered(options)
                output, job_end = self.run_gs([fixture("device-prelude.ps"), path])
                self.assertEqual(device_calls(output), expected_calls(options, stamp))
                self.assert_ran_to_its_end(job_end)

    def test_jobs_run_to_their_end_without_the_device_procedures(self):
        for name, extra in JOB_TYPES:
            with self.subTest(name):
                path, _ = self.filtered(dict(HOSTILE, **extra))
                output, job_end = self.run_gs([path])
                self.assertEqual(device_calls(output), [])
                self.assert_ran_to_its_end(job_end)

    def test_awkward_values_reach_the_device_intact(self):
        for value in ["(", ")", "a(b", "x)y", "\\", "end\\", "\\(", "((", "))(", "%", "\t",
                      b"\x80\xfe\xff", "\u00e9\u4e2d"]:
            with self.subTest(value=value):
                options = {"JobType": "Document Server", "UserID": value, "Password": value,
                           "FileName": value}
                path, stamp = self.filtered(options)
                output, job_end = self.run_gs([fixture("device-prelude.ps"), path])
                v = b(value)
                self.assertEqual(device_calls(output), [("setuserinfo", [v, b"", stamp]),
                                                        ("storedprint", [v, stamp, v, v])])
                self.assert_ran_to_its_end(job_end)

    def test_held_job_with_reserved_time_with_and_without_the_enhanced_entry(self):
        options = {"JobType": "Paused Print", "UserID": "u", "FileName": "f",
                   "SpecifyTimeKeySupport": "true", "EnableSpecifyTime": "true",
                   "SpecifyTime": "202603021200"}
        variants = [("no entry", []), ("enhanced entry", [fixture("device-enhanced-features.ps")])]
        for name, variant in variants:
            with self.subTest(name):
                path, stamp = self.filtered(options)
                output, job_end = self.run_gs([fixture("device-prelude.ps")] + variant + [path])
                calls = device_calls(output)
                self.assertEqual([c[0] for c in calls], ["setuserinfo", "SetJobType"])
                self.assertEqual(calls[1][1][0]["JobInfo"]["PrintReservedTime"], b"202603021200")
                self.assert_ran_to_its_end(job_end)

    def test_held_job_is_lost_when_the_feature_test_leaves_no_boolean(self):
        # The same job with the feature test as it once was: without the entry it leaves the
        # stack empty, the reserved-time test fails inside "stopped" and the device never hears
        # of the held job. Shows that the test above catches that fault.
        options = {"JobType": "Paused Print", "UserID": "u", "FileName": "f",
                   "SpecifyTimeKeySupport": "true", "EnableSpecifyTime": "true",
                   "SpecifyTime": "202603021200"}
        path, _ = self.filtered(options)
        with open(path, "rb") as f:
            text = f.read()
        mended = b"/EnhancedFeatures known} {false} ifelse } bind def"
        self.assertIn(mended, text)
        with open(path, "wb") as f:
            f.write(text.replace(mended, b"/EnhancedFeatures known} if } bind def"))
        output, _ = self.run_gs([fixture("device-prelude.ps"), path])
        self.assertEqual([c[0] for c in device_calls(output)], ["setuserinfo"])

    def test_interpreter_tests_leave_one_boolean(self):
        path, _ = self.filtered({}, job=b"%%BeginProlog\n")
        with open(path, "rb") as f:
            procedures = f.read().split(b"\nmark\n")[0]
        probe = (b"/show-result { dup type 20 string cvs print ( ) print 20 string cvs print "
                 b"( ) print count 20 string cvs print (\\n) print clear } def\n")
        cases = [
            ("no entry", b"", b"isEnhancedFeatures", b"booleantype false 0"),
            ("entry with the key", b"userdict /4b1e7d2c90 << /EnhancedFeatures false >> put\n",
             b"isEnhancedFeatures", b"booleantype true 0"),
            ("entry without the key", b"userdict /4b1e7d2c90 << /Other true >> put\n",
             b"isEnhancedFeatures", b"booleantype false 0"),
            ("Ghostscript is not genuine", b"", b"isGenuine", b"booleantype false 0"),
        ]
        for name, setup, call, shown in cases:
            with self.subTest(name):
                script = os.path.join(self.tmp.name, "probe.ps")
                with open(script, "wb") as f:
                    f.write(setup + procedures + b"\n" + probe + call + b" show-result\n")
                result = subprocess.run(GS + [script], capture_output=True, timeout=60)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertEqual(result.stdout.strip(), shown)


if __name__ == "__main__":
    ex.run_unittests("filter", "fixtures")
