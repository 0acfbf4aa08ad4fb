"""The filter's time stamps under a fixed clock (libfaketime), in the inherited zone and in the
zone that the TimeZone option names.

  python3 test_filter_clock.py --filter build/Filter/jobtypefilter --samples samples

In a sanitizer build the AddressSanitizer runtime is preloaded before libfaketime, as ASan
insists on coming first. Exits 77 (CTest SKIP_RETURN_CODE) when the fixed clock still cannot
reach the filter.
"""

import os
import subprocess
import unittest

import expected_splice as ex

ARGS = None  # set by run_unittests
LIBFAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
INSTANT = "1772442300"  # 2026-03-02 09:05:00 UTC, as seconds so that no zone reads it


def sanitizer_runtime(program):
    """The AddressSanitizer runtime that `program` links, if any: it has to come first in the
    preload list, before libfaketime."""
    listing = subprocess.run(["ldd", program], capture_output=True, text=True).stdout
    for line in listing.splitlines():
        parts = line.split()
        if parts and parts[0].startswith("libasan.so") and len(parts) > 2:
            return parts[2]
    return None


def fixed_clock(tz):
    preload = [p for p in (sanitizer_runtime(ARGS.filter), LIBFAKETIME) if p]
    return {"LD_PRELOAD": " ".join(preload), "FAKETIME_FMT": "%s", "FAKETIME": INSTANT,
            "TZ": tz}


def run(options, tz):
    env = dict(os.environ)
    env.update(fixed_clock(tz))
    with open(os.path.join(ARGS.samples, "sample-job.ps"), "rb") as f:
        job = f.read()
    argv = [ARGS.filter, "1", "u", "t", "1", ex.options_string(options)]
    result = subprocess.run(argv, input=job, capture_output=True, env=env, timeout=60)
    return job, result


def faketime_unusable():
    """Why the preloaded clock cannot steer the filter, or None when it can."""
    if not os.path.exists(LIBFAKETIME):
        return "libfaketime is not installed"
    _, result = run({}, "UTC0")
    if result.returncode != 0:
        lines = result.stderr.decode(errors="replace").strip().splitlines() or [""]
        return "the filter does not run with libfaketime preloaded: " + lines[0][:200]
    if b"(202603020905)" not in result.stdout:
        return "the preloaded clock does not reach the filter"
    return None


class TimeStamps(unittest.TestCase):

    def test_compact_stamp_in_the_zone_in_force(self):
        held = {"JobType": "Paused Print", "UserID": "u", "FileName": "f"}
        cases = [
            ("inherited UTC", None, "UTC0", b"202603020905"),
            ("inherited JST", None, "JST-9", b"202603021805"),
            ("option JST over inherited UTC", "JST-9", "UTC0", b"202603021805"),
            ("option EST over inherited JST", "EST5", "JST-9", b"202603020405"),
            ("option GMT", "GMT0", "EST5", b"202603020905"),
            ("option crosses the date line", "NZST-12", "UTC0", b"202603022105"),
            ("option a day back", "HST10", "UTC0", b"202603012305"),
        ]
        for name, zone, inherited, stamp in cases:
            with self.subTest(name):
                options = dict(held)
                if zone is not None:
                    options["TimeZone"] = zone
                job, result = run(options, inherited)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(set(ex.stamps_in(result.stdout)), {stamp})
                # Two places: the user-information call and the held job's /Time.
                self.assertEqual(result.stdout.count(b"(" + stamp + b")"), 2)
                self.assertEqual(result.stdout,
                                 ex.splice_into(job, ex.expected_splice(options, stamp)))


if __name__ == "__main__":
    ex.run_unittests("filter", "samples", skip_reason=faketime_unusable)
