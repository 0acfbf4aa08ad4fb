"""The copy-control marking block run in Ghostscript, with the device procedures stood in for by
the prelude in tests/fixtures: SetMarkingType receives the marking type and every attribute the
options ask for, strings byte for byte, and the job runs to its end with or without the device's
procedure set.

  python3 test_marking_ghostscript.py --filter build/Filter/jobtypefilter --fixtures tests/fixtures
"""

import argparse
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "ghostscript"))
sys.path.insert(0, os.path.join(HERE, "..", "process"))
from device_output import device_calls, run_gs  # noqa: E402
from expected_splice import as_bytes, options_string  # noqa: E402

ARGS = None

REQUIRED = {"CCPFont": "Helvetica", "CCPSize": "24", "CCPAngle": "45", "CCPLineSpace": "10"}
# Parentheses, backslashes, quotes and bytes beyond ASCII, in every string the block carries.
HOSTILE_TEXT = b"Q3 (draft)) \\ C:\\reports\\new ( \xc3\xbc\xff 'x\" \\("
HOSTILE_FONT = b"My(Font)\\Bold"


def marking(marking_type, effect, font, size, text, position, angle, loop=None, pattern=None):
    """The dictionary SetMarkingType should receive."""
    attributes = {"FontName": font, "FontSize": size, "String": text,
                  "StringPosition": position, "StringAngle": angle}
    if loop is not None:
        attributes["StringLoopAttributes"] = {"StringLoopInterval": loop[0],
                                              "StringLoopToggle": loop[1]}
    result = {"MarkingType": marking_type, "StringEffect": effect,
              "StringAttributes": attributes}
    if pattern is not None:
        result.update({"MarkingColor": pattern[0], "MarkingDensity": pattern[1],
                       "MaskPattern": pattern[2]})
    return result


CASES = [
    ("copy guard, required keys only", {"CCPCopyControlType": "Copy Guard"},
     marking(1, 0, b"Helvetica", 24, b"", 3, 45)),
    ("pattern, required keys only", {"CCPCopyControlType": "Prevention Copy Pattern"},
     marking(2, 0, b"Helvetica", 24, b"", 3, 45, pattern=(0, 3, 0))),
    ("copy guard, every text setting, repeat",
     {"CCPCopyControlType": "Copy Guard", "CCPEffect": "Background Only",
      "CCPFont": HOSTILE_FONT, "CCPSize": "10.5", "CCPTextType": "User Defined",
      "CCPCustomText": HOSTILE_TEXT, "CCPPosition": "Center Bottom", "CCPAngle": "-30",
      "CCPRepeat": "Repeat", "CCPLineSpace": "2.5"},
     marking(1, 1, HOSTILE_FONT, 10.5, HOSTILE_TEXT, 5, -30, loop=(2.5, False))),
    ("pattern, every setting, repeat and rotate",
     {"CCPCopyControlType": "Prevention Copy Pattern", "CCPColor": "Magenta",
      "CCPDensity": "Very Light", "CCPMaskType": "Hexagonal", "CCPEffect": "Background Only",
      "CCPTextType": "Login User Name + PrintJob Name",
      "CCPUserName": b"M\xc3\xbcller(", "CCPJobName": b"Q3 (draft,,C:\\reports\\new,",
      "CCPPosition": "Top Right", "CCPRepeat": "Repeat and Rotate carriage return",
      "CCPLineSpace": "12"},
     marking(2, 3, b"Helvetica", 24, b"M\xc3\xbcller( + Q3 (draftC:\\reports\\new", 2, 45,
             loop=(12, True), pattern=(2, 1, 10))),
    ("pattern, reverse patterns, text only effect stays per type",
     {"CCPCopyControlType": "Prevention Copy Pattern", "CCPColor": "Cyan",
      "CCPDensity": "Dark", "CCPMaskType": "Wave Crest", "CCPEffect": "Text Only",
      "CCPTextType": "PrintJob Name", "CCPJobName": b")(" * 40},
     marking(2, 4, b"Helvetica", 24, b")(" * 40, 3, 45, pattern=(1, 4, 1))),
]


class MarkingInGhostscript(unittest.TestCase):

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="jobtypefilter-marking-gs-")
        self.addCleanup(self.tmp.cleanup)
        self.job = os.path.join(ARGS.fixtures, "ghostscript-probe-job.ps")
        self.prelude = os.path.join(ARGS.fixtures, "device-prelude.ps")
        self.baseline_end = self.run_gs([self.job])[1]

    def filtered(self, options):
        argv = [as_bytes(ARGS.filter), b"1", b"user", b"title", b"1",
                options_string(dict(REQUIRED, UserID="u", **options)), as_bytes(self.job)]
        result = subprocess.run(argv, capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        path = os.path.join(self.tmp.name, "filtered.ps")
        with open(path, "wb") as f:
            f.write(result.stdout)
        return path

    def run_gs(self, files):
        return run_gs(self, files)

    def test_device_receives_the_marking_asked_for(self):
        for name, options, expected in CASES:
            with self.subTest(name):
                output, job_end = self.run_gs([self.prelude, self.filtered(options)])
                calls = [c for c in device_calls(output) if c[0] == "SetMarkingType"]
                self.assertEqual(calls, [("SetMarkingType", [expected])])
                # The block leaves the stacks as the job alone would.
                self.assertEqual(job_end, self.baseline_end)

    def test_job_runs_to_its_end_without_the_procedure_set(self):
        # "stopped" catches the failed lookup: no error, the whole job runs, the dictionary
        # stack is as the job alone leaves it.
        for name, options, _ in CASES:
            with self.subTest(name):
                output, job_end = self.run_gs([self.filtered(options)])
                self.assertEqual(device_calls(output), [])
                self.assertIn(b"JOB prolog\n", output)
                self.assertEqual(job_end[1], self.baseline_end[1])

    @unittest.expectedFailure
    def test_failed_lookup_leaves_the_operand_stack_clean(self):
        # Known fault of the block's text, kept as written: when the lookup fails the open "<<"
        # is the topmost mark, so "cleartomark" stops there and the block's own "mark" stays on
        # the operand stack. Expected to fail until the block resolves SetMarkingType before
        # opening "<<".
        output, job_end = self.run_gs([self.filtered(CASES[0][1])])
        self.assertEqual(job_end, self.baseline_end)

    def test_without_copy_control_the_device_hears_no_marking(self):
        for value in [None, "Off", "copy guard"]:
            with self.subTest(value=value):
                options = {} if value is None else {"CCPCopyControlType": value}
                output, job_end = self.run_gs([self.prelude, self.filtered(options)])
                self.assertEqual([c[0] for c in device_calls(output)], ["setuserinfo"])
                self.assertEqual(job_end, self.baseline_end)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--filter", required=True)
    parser.add_argument("--fixtures", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
