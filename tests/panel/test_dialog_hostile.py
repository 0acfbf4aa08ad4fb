#!/usr/bin/env python3
"""joblog-dialog given hostile scripts, settings, options and bundles: every bad input ends with
exit status 2 and one message saying what is wrong, within the memory of a harmless run.

    test_dialog_hostile.py --dialog PATH --bundle DIR [unittest arguments]
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import types
import unittest

DIALOG = None
BUNDLE = None

MAX_NESTING = 64
MAX_STEPS = 1000
MAX_ARGUMENT_BYTES = 4096
# How far above a harmless run's peak a refused input may take the process.
RSS_ALLOWANCE_KIB = 64 * 1024

CREATE_AND_SHOW = [{"do": "create"}, {"do": "view"}, {"do": "show"}]


def nested(depth):
    return "[" * depth + "0" + "]" * depth


def script(*steps):
    """The arguments that play the steps after creating and showing the panel."""
    return ["--script-json", json.dumps(CREATE_AND_SHOW + list(steps))]


def run_dialog(arguments, stdin_path=None, timeout=120):
    """Runs joblog-dialog and measures its own peak resident size (wait4 on its pid)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            open(stdin_path or os.devnull, "rb") as stdin:
        process = subprocess.Popen([DIALOG, *arguments], stdin=stdin, stdout=out, stderr=err)
        killer = threading.Timer(timeout, process.kill)
        killer.start()
        try:
            _, status, usage = os.wait4(process.pid, 0)
        finally:
            killer.cancel()
        process.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        err.seek(0)
        return types.SimpleNamespace(exit_status=process.returncode, stdout=out.read(),
                                     stderr=err.read().decode("utf-8", "replace"),
                                     max_rss_kib=usage.ru_maxrss)


class DialogTestCase(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix="joblog-dialog-")
        self.addCleanup(shutil.rmtree, self.directory)

    def path(self, name, content):
        path = os.path.join(self.directory, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(content)
        return path

    def assertRefused(self, run, message):
        """Exit status 2 with message on standard error and nothing else there."""
        self.assertEqual(run.exit_status, 2, run.stderr)
        self.assertIn(message, run.stderr)
        lines = [line for line in run.stderr.splitlines() if not line.startswith(("usage:", " ", "FILE"))]
        self.assertEqual(len(lines), 1, f"one message, no more:\n{run.stderr}")


class ScriptErrorAtEveryStage(DialogTestCase):
    """An error ends the run soundly wherever it comes (right after create: the scenario
    refused-unknown-command)."""

    CASES = {
        "with the view": [{"do": "create"}, {"do": "view"}],
        "after typing": CREATE_AND_SHOW + [{"do": "type", "control": "UserIDField", "text": "alice"}],
        "after release": [{"do": "create"}, {"do": "view"}, {"do": "release"}],
        "after release and a new panel": [{"do": "create"}, {"do": "view"}, {"do": "release"},
                                          {"do": "create"}, {"do": "view"}, {"do": "show"}],
        "after a save": CREATE_AND_SHOW + [{"do": "save"}, {"do": "summary"}],
    }

    def test_exit_2_with_the_message(self):
        for name, steps in self.CASES.items():
            with self.subTest(name):
                run = run_dialog(["--script-json", json.dumps(steps + [{"do": "no-such-step"}])])
                self.assertRefused(run, 'joblog-dialog: script: unknown command "no-such-step"')
                self.assertEqual(run.stdout, b"")


class DeepNesting(DialogTestCase):
    def test_deep_documents_are_refused(self):
        deep = nested(100_000)
        cases = {
            "script file": (["--script", self.path("script.json", deep)], None, "the script"),
            "script argument": (["--script-json", nested(50_000)], None, "the script"),
            "script on standard input": (["--script", "-"], self.path("stdin.json", deep), "the script"),
            "settings file": (["--settings", self.path("settings.json", f'{{"UserID": {deep}}}'),
                               "--script-json", "[]"], None, "the settings"),
            "settings argument": (["--settings-json", f'{{"UserID": {nested(50_000)}}}', "--script-json", "[]"], None,
                                  "the settings"),
        }
        for name, (arguments, stdin, what) in cases.items():
            with self.subTest(name):
                run = run_dialog(arguments, stdin)
                self.assertRefused(run, f"{what} nests arrays and objects deeper than {MAX_NESTING} levels")

    def test_the_bound_itself(self):
        # The script's list and the step object are two levels, the control the rest.
        for levels, accepted in ((MAX_NESTING, True), (MAX_NESTING + 1, False)):
            with self.subTest(levels=levels):
                control = json.loads(nested(levels - 2))
                run = run_dialog(["--script-json", json.dumps([{"do": "create"}, {"do": "kind", "control": control}])])
                if accepted:
                    self.assertEqual(run.exit_status, 0, run.stderr)
                    self.assertEqual(json.loads(run.stdout)["answers"][1]["control"], control)
                else:
                    self.assertRefused(run, "deeper than")


class OversizedInput(DialogTestCase):
    @classmethod
    def setUpClass(cls):
        harmless = run_dialog(script())
        assert harmless.exit_status == 0, harmless.stderr
        cls.harmless_rss_kib = harmless.max_rss_kib

    def test_refused_within_bounded_memory(self):
        long_text = "2" * (MAX_ARGUMENT_BYTES + 1)
        many_steps = [{"do": "create"}] + [{"do": "name"}] * MAX_STEPS
        cases = {
            "endless script file": (["--script", "/dev/zero"], None, "the script /dev/zero is larger than 1024 KiB"),
            "endless standard input": (["--script", "-"], "/dev/zero",
                                       "the script from standard input is larger than 1024 KiB"),
            "endless settings file": (["--settings", "/dev/zero", "--script-json", "[]"], None,
                                      "the settings /dev/zero is larger than 1024 KiB"),
            "typed text over the step bound": (
                script({"do": "type", "control": "UserIDField", "text": long_text}), None,
                f'the step\'s "text" holds {len(long_text)} bytes; a step takes at most {MAX_ARGUMENT_BYTES}'),
            "pasted text over the step bound": (
                script({"do": "paste", "control": "DocNameField", "text": long_text, "at": 0}), None,
                f'the step\'s "text" holds {len(long_text)} bytes'),
            "title over the step bound": (
                script({"do": "pick", "control": "JobTypeSelection", "title": long_text}), None,
                f'the step\'s "title" holds {len(long_text)} bytes'),
            "too many steps": (["--script-json", json.dumps(many_steps)], None,
                               f"the script has {MAX_STEPS + 1} steps; it may have at most {MAX_STEPS}"),
        }
        for name, (arguments, stdin, message) in cases.items():
            with self.subTest(name):
                run = run_dialog(arguments, stdin)
                self.assertRefused(run, message)
                self.assertLess(run.max_rss_kib, self.harmless_rss_kib + RSS_ALLOWANCE_KIB,
                                f"peak {run.max_rss_kib} KiB against {self.harmless_rss_kib} KiB for a harmless run")

    def test_the_bounds_themselves_are_accepted(self):
        steps = CREATE_AND_SHOW + [{"do": "paste", "control": "UserIDField", "text": "3" * MAX_ARGUMENT_BYTES}]
        steps += [{"do": "kind"}] * (MAX_STEPS - len(steps) - 1) + [{"do": "form"}]
        run = run_dialog(["--script-json", json.dumps(steps)])
        self.assertEqual(run.exit_status, 0, run.stderr)
        answers = json.loads(run.stdout)["answers"]
        self.assertEqual(len(answers), MAX_STEPS)
        self.assertEqual(answers[3], {"do": "paste", "control": "UserIDField", "answer": True})
        self.assertEqual(answers[-1]["answer"]["UserIDField"]["text"], "3" * 8)


class BadArguments(DialogTestCase):
    def test_refuse_write_names_the_option_and_the_value(self):
        for value in ("K=abc", "K=", "K=12x", "K= 5", "K=2147483648", "K=-2147483649", "=5", "K"):
            with self.subTest(value):
                key, equals, status = value.partition("=")
                reason = f'the status "{status}" is not a whole number' if key and equals else "needs KEY=STATUS"
                run = run_dialog(["--refuse-write", value, "--script-json", "[]"])
                self.assertRefused(run, f"--refuse-write {value}: {reason}")

    def test_standard_input_is_read_once(self):
        stdin = self.path("stdin.json", "{}")
        run = run_dialog(["--settings", "-", "--script", "-"], stdin)
        self.assertRefused(run, "standard input can be read only once")

    def test_paste_position_is_a_whole_number(self):
        for at in (-1, 1.5, "2", None, [1]):
            with self.subTest(at=at):
                run = run_dialog(script({"do": "paste", "control": "UserIDField", "text": "x", "at": at}))
                self.assertRefused(run, f'the step\'s "at" is not a whole number from 0: {json.dumps(at)}')


class ScriptForms(DialogTestCase):
    """A script from a file or from standard input (a password stays out of the process list)
    plays as on the command line."""

    def test_file_and_standard_input(self):
        steps = json.dumps(CREATE_AND_SHOW + [
            {"do": "type", "control": "UserIDField", "text": "alice"},
            {"do": "type", "control": "PasswordField", "text": "1234"}, {"do": "save"}])
        path = self.path("script.json", steps)
        common = ["--settings-json", '{"JobType": "Locked Print"}']
        given = run_dialog(common + ["--script-json", steps])
        self.assertEqual(given.exit_status, 0, given.stderr)
        self.assertEqual(json.loads(given.stdout)["settings"]["com.varlo.printsettings.Password"], "1234")
        for name, arguments, stdin in (("file", ["--script", path], None), ("standard input", ["--script", "-"], path)):
            with self.subTest(name):
                run = run_dialog(common + arguments, stdin)
                self.assertEqual(run.exit_status, 0, run.stderr)
                self.assertEqual(run.stdout, given.stdout)


class StringsFileEncoding(DialogTestCase):
    def test_a_table_that_is_not_utf8_is_named_with_its_line_when_read(self):
        bundle = os.path.join(self.directory, "JobLog.plugin")
        shutil.copytree(BUNDLE, bundle)
        table = os.path.join(bundle, "Contents", "Resources", "de.lproj", "Localizable.strings")
        with open(table, "w", encoding="latin-1") as f:
            f.write('/* Latin-1 */\n"Hold Print" = "Angehalten";\n"Job Log" = "Journal détaillé";\n')
        run = run_dialog(["--bundle", bundle, "--language", "de", "--script-json",
                          json.dumps([{"do": "create"}, {"do": "name"}])])
        self.assertEqual(run.exit_status, 0, run.stderr)
        result = json.loads(run.stdout)
        self.assertEqual(result["log"], [f"Cannot read strings table {table}: line 3: not UTF-8 (byte 0xE9)"])
        # The refused table stands aside; the English texts are shown.
        self.assertEqual(result["answers"][1]["answer"], "Job Log")


def main():
    global DIALOG, BUNDLE
    parser = argparse.ArgumentParser()
    parser.add_argument("--dialog", required=True)
    parser.add_argument("--bundle", required=True)
    arguments, rest = parser.parse_known_args()
    DIALOG, BUNDLE = arguments.dialog, arguments.bundle
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
