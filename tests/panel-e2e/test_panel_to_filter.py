"""A job from the Job Log panel to the printer: the scripted print dialog (joblog-dialog) plays
the user on the panel and saves, the saved print settings become the filter's options string as
the print system writes it, and the built filter splices the job-type text into the sample job.
With --cups, the same settings also go through a private cupsd with lp.

  python3 test_panel_to_filter.py --dialog build/panel/driver/joblog-dialog \
      --filter build/Filter/jobtypefilter --samples samples --tests tests [--cups yes]
"""

import json
import os
import re
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "process"))
import expected_splice as ex  # noqa: E402

ARGS = None  # set by main
LIBFAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"
PREFIX = "com.varlo.printsettings."
TOKEN = b"%%BeginProlog"
# 2025-07-15 12:00:00 UTC, as seconds so that no zone reads it.
INSTANT = "1752580800"


def asan_runtime(program):
    """The AddressSanitizer runtime `program` links, as a list of none or one path."""
    listing = subprocess.run(["ldd", program], capture_output=True, text=True).stdout
    return [parts[2] for parts in (line.split() for line in listing.splitlines())
            if parts and parts[0].startswith("libasan.so") and len(parts) > 2]


def fixed_clock(program):
    """The environment that fixes the clock of `program` at INSTANT. A sanitizer build's
    AddressSanitizer runtime has to be preloaded first, before libfaketime."""
    preload = asan_runtime(program)
    return {"LD_PRELOAD": " ".join(preload + [LIBFAKETIME]), "FAKETIME_FMT": "%s", "FAKETIME": INSTANT}


def sample(name):
    return os.path.join(ARGS.samples, name)


def save_in_dialog(steps, zone, ppd=None):
    """Runs the dialog script (create, view and show come first, save and should-print last)
    with TZ=zone and the clock fixed at INSTANT; answers the saved print settings and the
    dialog's whole result."""
    script = ([{"do": "create"}, {"do": "view"}, {"do": "show"}] + steps +
              [{"do": "save"}, {"do": "should-print"}])
    argv = [ARGS.dialog, "--ppd", ppd or sample("kordavine-office.ppd"),
            "--settings-json", "{}", "--script-json", json.dumps(script)]
    env = dict(os.environ, TZ=zone, **fixed_clock(ARGS.dialog))
    result = subprocess.run(argv, capture_output=True, env=env, timeout=60)
    if result.returncode != 0:
        raise AssertionError("joblog-dialog failed: " + result.stderr.decode(errors="replace"))
    output = json.loads(result.stdout)
    return output["settings"], output


def cupsd_options_string(settings):
    """The options argument as cupsd writes it for a filter: name=value pairs separated by
    blanks, with a backslash before each blank, tab, newline, backslash and quote of a value."""
    parts = []
    for name, value in sorted(settings.items()):
        escaped = "".join("\\" + c if c in " \t\n\\'\"" else c for c in value)
        parts.append(f"{name}={escaped}")
    return " ".join(parts).encode("utf-8")


def quoted_options_string(settings):
    """The same options as name="value" pairs, the other quoting cupsParseOptions reads."""
    parts = []
    for name, value in sorted(settings.items()):
        parts.append(name + '="' + value.replace("\\", "\\\\").replace('"', '\\"') + '"')
    return " ".join(parts).encode("utf-8")


def run_filter(options, inherited_zone="UTC"):
    """The filter on the sample job with the clock fixed at INSTANT."""
    env = dict(os.environ, TZ=inherited_zone, **fixed_clock(ARGS.filter))
    argv = [ARGS.filter, "1", "tester", "title", "1", options, sample("sample-job.ps")]
    return subprocess.run(argv, capture_output=True, env=env, timeout=60)


def split_at_splice(test, job, output):
    """The splice text: the output must be the job with one insertion before its first
    token line."""
    at = job.index(b"\n" + TOKEN) + 1
    test.assertEqual(output[:at], job[:at])
    test.assertTrue(output.endswith(job[at:]))
    test.assertGreater(len(output), len(job))
    return output[at:len(output) - (len(job) - at)]


class PanelToFilter(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        with open(sample("sample-job.ps"), "rb") as f:
            cls.job = f.read()

    def filter_splice(self, settings, inherited_zone="UTC"):
        outputs = []
        for options in (cupsd_options_string(settings), quoted_options_string(settings)):
            result = run_filter(options, inherited_zone)
            self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
            self.assertEqual(result.stderr, b"")
            outputs.append(result.stdout)
        # Either quoting gives the same job.
        self.assertEqual(outputs[0], outputs[1])
        return split_at_splice(self, self.job, outputs[0])

    def assert_splice(self, settings, typed, stamp, inherited_zone="UTC"):
        """The filter, given the saved settings, splices what the typed entries call for."""
        self.assertEqual(self.filter_splice(settings, inherited_zone), ex.expected_splice(typed, stamp))

    def test_hold_print(self):
        settings, output = save_in_dialog([
            {"do": "pick", "control": "JobTypeSelection", "title": "Hold Print"},
            {"do": "type", "control": "UserIDField", "text": "alice01"},
            {"do": "type", "control": "DocNameField", "text": "Report2024"},
        ], zone="Asia/Kolkata")
        self.assertEqual(output["alerts"], [])
        self.assertEqual(settings, {
            PREFIX + "UserID": "alice01", PREFIX + "FileName": "Report2024",
            PREFIX + "UserCode": "", PREFIX + "Password": "", PREFIX + "JobType": "Paused Print",
            PREFIX + "EnableUserCode": "false", PREFIX + "TimeZone": "IST-5:30"})
        # The fixed instant is 17:30 on the saving machine's clock in Kolkata.
        stamp = b"202507151730"
        self.assert_splice(settings, {"JobType": "Paused Print", "UserID": "alice01", "FileName": "Report2024"},
                           stamp)

    def test_locked_print(self):
        settings, output = save_in_dialog([
            {"do": "pick", "control": "JobTypeSelection", "title": "Locked Print"},
            {"do": "type", "control": "UserIDField", "text": "bob"},
            {"do": "type", "control": "LongPasswordField", "text": "12345678"},
        ], zone="Europe/Berlin")
        self.assertEqual(output["alerts"], [])
        self.assertEqual(settings[PREFIX + "JobType"], "Locked Print")
        self.assertEqual(settings[PREFIX + "TimeZone"], "CEST-2")
        stamp = b"202507151400"
        self.assert_splice(settings, {"JobType": "Locked Print", "UserID": "bob", "Password": "12345678"}, stamp)

    def test_stored_print_with_the_user_code_on(self):
        settings, output = save_in_dialog([
            {"do": "pick", "control": "JobTypeSelection", "title": "Stored Print"},
            {"do": "type", "control": "UserIDField", "text": "carol"},
            {"do": "type", "control": "DocNameField", "text": "Plans"},
            {"do": "toggle", "control": "EnableUserCode"},
            {"do": "type", "control": "UserCodeField", "text": "4711"},
        ], zone="America/New_York")
        self.assertEqual(output["alerts"], [])
        self.assertEqual(settings[PREFIX + "EnableUserCode"], "true")
        self.assertEqual(settings[PREFIX + "TimeZone"], "EDT4")
        stamp = b"202507150800"
        self.assert_splice(settings, {"JobType": "Saved Print", "UserID": "carol", "FileName": "Plans",
                                      "Password": "", "EnableUserCode": "true", "UserCode": "4711"}, stamp)

    def test_zones_without_letter_names_or_whole_hours_stamp_the_saving_clock(self):
        # The saved zone overrides whatever zone the filter inherits.
        cases = [
            ("Asia/Kathmandu", "<+0545>-5:45", b"202507151745"),
            ("America/Sao_Paulo", "<-03>3", b"202507150900"),
            ("Asia/Dubai", "<+04>-4", b"202507151600"),
            ("America/St_Johns", "NDT2:30", b"202507150930"),
            ("Asia/Tokyo", "JST-9", b"202507152100"),
        ]
        for zone, value, stamp in cases:
            with self.subTest(zone):
                settings, _ = save_in_dialog([
                    {"do": "type", "control": "UserIDField", "text": "dave"},
                ], zone=zone)
                self.assertEqual(settings[PREFIX + "TimeZone"], value)
                self.assertEqual(settings[PREFIX + "JobType"], "Normal")
                self.assert_splice(settings, {"UserID": "dave"}, stamp, inherited_zone="Pacific/Honolulu")

    def test_a_refused_entry_leaves_the_settings_without_a_job_type(self):
        settings, output = save_in_dialog([
            {"do": "pick", "control": "JobTypeSelection", "title": "Hold Print"},
            {"do": "type", "control": "UserIDField", "text": "eve"},
            {"do": "type", "control": "DocNameField", "text": "my file"},
        ], zone="UTC")
        self.assertEqual(output["alerts"], ["Enter a valid File Name"])
        self.assertEqual(output["answers"][-2], {"do": "save", "answer": False})
        self.assertEqual(settings, {PREFIX + "UserID": ""})
        # What the filter then writes: the default block with the empty user ID.
        self.assert_splice(settings, {"UserID": ""}, b"202507151200")


def cupsd_unusable():
    try:
        sys.path.insert(0, os.path.join(ARGS.tests, "cups"))
        import private_cupsd  # noqa: F401
    except ImportError as error:
        return "the private cupsd harness is not available: " + str(error)
    return None


class PanelThroughCupsd(unittest.TestCase):
    """The same settings sent with lp through a private cupsd reach the filter intact."""

    @classmethod
    def setUpClass(cls):
        reason = cupsd_unusable() if ARGS.cups == "yes" else "not asked for (--cups yes)"
        if reason:
            raise unittest.SkipTest(reason)
        from private_cupsd import PrivateCupsd
        cls.cupsd = PrivateCupsd(ARGS.filter)
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        cls.cupsd.add_queue("office", sample("kordavine-office.ppd"))

    def test_hold_print_through_lp(self):
        settings, _ = save_in_dialog([
            {"do": "pick", "control": "JobTypeSelection", "title": "Hold Print"},
            {"do": "type", "control": "UserIDField", "text": "alice01"},
            {"do": "type", "control": "DocNameField", "text": "Report2024"},
        ], zone="Asia/Kolkata")
        job_id = self.cupsd.submit("office", sample("sample-job.ps"), settings,
                                   document_format="application/vnd.cups-postscript")
        captured = self.cupsd.wait_capture("office", job_id, timeout=30)
        self.assertIsNotNone(captured, "nothing reached the printer:\n" + self.cupsd.logs()[-4000:])
        match = re.search(rb"\n  \(alice01\) \(\) \((\d{12})\) \{setuserinfo\} stopped\n", captured)
        self.assertIsNotNone(match, captured[:3000])
        stamp = match.group(1)
        held = ex.golden("paused-print", UserID=b"alice01", Time=stamp, FileName=b"Report2024") + b"\n" + TOKEN
        self.assertIn(held, captured)
        # The options the filter chain was started with, read as the filter reads them, hold
        # every saved value unchanged. (cupsd passes the flag "false" as "noEnableUserCode",
        # which cupsParseOptions turns back into EnableUserCode=false.)
        parsed = parse_options(self.cupsd.captured_options("office", job_id))
        for name, value in settings.items():
            self.assertEqual(parsed.get(name), value, name)

    def test_user_code_on_through_lp(self):
        settings, _ = save_in_dialog([
            {"do": "type", "control": "UserIDField", "text": "carol"},
            {"do": "toggle", "control": "EnableUserCode"},
            {"do": "type", "control": "UserCodeField", "text": "4711"},
        ], zone="Asia/Kathmandu")
        job_id = self.cupsd.submit("office", sample("sample-job.ps"), settings,
                                   document_format="application/vnd.cups-postscript")
        captured = self.cupsd.wait_capture("office", job_id, timeout=30)
        self.assertIsNotNone(captured, "nothing reached the printer:\n" + self.cupsd.logs()[-4000:])
        self.assertRegex(captured, rb"\nmark\n  \(carol\) \(4711\) \(\d{12}\) \{setuserinfo\} stopped\n"
                                   rb"cleartomark\n\n%%BeginProlog")
        parsed = parse_options(self.cupsd.captured_options("office", job_id))
        for name, value in settings.items():
            self.assertEqual(parsed.get(name), value, name)


def parse_options(text):
    """The options string read with libcups's cupsParseOptions, as the filter reads it."""
    import ctypes
    import ctypes.util

    class CupsOption(ctypes.Structure):
        _fields_ = [("name", ctypes.c_char_p), ("value", ctypes.c_char_p)]

    cups = ctypes.CDLL(ctypes.util.find_library("cups") or "libcups.so.2")
    cups.cupsParseOptions.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.POINTER(ctypes.POINTER(CupsOption))]
    cups.cupsParseOptions.restype = ctypes.c_int
    cups.cupsFreeOptions.argtypes = [ctypes.c_int, ctypes.POINTER(CupsOption)]
    options = ctypes.POINTER(CupsOption)()
    data = text if isinstance(text, bytes) else text.encode()
    count = cups.cupsParseOptions(data, 0, ctypes.byref(options))
    try:
        return {options[i].name.decode(): options[i].value.decode() for i in range(count)}
    finally:
        cups.cupsFreeOptions(count, options)


def main():
    import argparse
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ("dialog", "filter", "samples", "tests"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--cups", default="no")
    ARGS, rest = parser.parse_known_args()
    if not os.path.exists(LIBFAKETIME):
        print("SKIPPED: libfaketime is not installed")
        sys.exit(77)
    if asan_runtime(ARGS.dialog):
        # The sanitized dialog hangs at start-up with libfaketime preloaded.
        print("SKIPPED: the dialog is a sanitizer build, which cannot run on a fixed clock")
        sys.exit(77)
    if ARGS.cups == "yes" and cupsd_unusable():
        print("SKIPPED: " + cupsd_unusable())
        sys.exit(77)
    unittest.main(module=__name__, argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
