"""joblog-print on a real X server with a window manager, driven by real input events: Xvfb (on a
display it picks itself), openbox, xdotool's clicks and keys, and screen grabs of what a person
sees; against a private cupsd with office (the sample PPD) and basic (the MP 2000: no Hold Print,
short passwords). The scripted tool in its "serve" mode only reports where its widgets are.

In English and in German: Hold Print on office; basic chosen (the tab says what it dropped);
Locked Print; Print from another tab without a password (the alert comes up over the Job Log tab
and leaves the focus in the password entry); the password typed (letters refused); office again
(one form, the entries kept) and Print, confirming what the first change dropped: the captured
job is the Locked Print. A start without a file shows its error in a message box.

  python3 test_desktop_session.py --scripted build/tests/qt/joblog-print-scripted \
      --tool build/panel/printtool/joblog-print --filter build/Filter/jobtypefilter \
      --samples samples --tests tests --shots build/tests/qt/screenshots
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_desktop import TOOLS, Desktop  # noqa: E402

ARGS = None

TEXTS = {
    "en": {"locked": "Locked Print", "hold": "Hold Print", "normal": "Normal Print", "panel": "Job Log",
           "copies": "Copies", "alert": "Enter a valid Password", "print": "Print"},
    "de": {"locked": "Vertraulicher Druck", "hold": "Angehaltener Druck", "normal": "Normaldruck",
           "panel": "Auftragsprotokoll", "copies": "Anzahl Exemplare",
           "alert": "Geben Sie ein gültiges Passwort ein", "print": "Drucken"},
}


class Tool:
    """The scripted joblog-print in serve mode: answers reports, while the person's actions are
    X events."""

    def __init__(self, argv, env):
        self.process = subprocess.Popen([ARGS.scripted, "--steps", json.dumps([{"serve": True}]), *argv], env=env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        text=True)

    def report(self):
        self.process.stdin.write('{"report": true}\n')
        self.process.stdin.flush()
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise AssertionError("the tool ended: " + self.process.stderr.read())
            if line.startswith('{"report"'):
                return json.loads(line)["report"]

    def wait(self, condition, what, timeout=20):
        deadline = time.monotonic() + timeout
        report = None
        while time.monotonic() < deadline:
            report = self.report()
            if condition(report):
                return report
            time.sleep(0.1)
        raise AssertionError(f"not reached: {what}; last report: {json.dumps(report, ensure_ascii=False)}")

    def settled(self, what, timeout=20):
        """The report once the dialog's height has stayed the same for half a second: the window
        manager applies a new size some time after the layout asks for it."""
        previous = self.report()
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            time.sleep(0.5)
            report = self.report()
            if report["dialogHeight"] == previous["dialogHeight"]:
                return report
            previous = report
        raise AssertionError(f"not settled: {what}; last report: {json.dumps(previous, ensure_ascii=False)}")

    def finish(self, timeout=60):
        out, err = self.process.communicate(timeout=timeout)
        return self.process.returncode, out, err


class DesktopSession(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        sys.path.insert(0, os.path.join(ARGS.tests, "cups"))
        from private_cupsd import PrivateCupsd
        cls.cupsd = PrivateCupsd(ARGS.filter)
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        cls.cupsd.add_queue("office", os.path.join(ARGS.samples, "kordavine-office.ppd"))
        cls.cupsd.add_queue("basic", os.path.join(ARGS.tests, "..", "ppd", "kordavine-office-mp2000.ppd"))
        cls.cupsd.client("lpadmin", "-d", "office")
        cls.home = tempfile.mkdtemp(prefix="joblog-desktop-")
        cls.addClassCleanup(shutil.rmtree, cls.home, True)
        cls.desktop = Desktop(cls.home)
        cls.addClassCleanup(cls.desktop.stop)
        cls.desktop.start()
        os.makedirs(ARGS.shots, exist_ok=True)

    def env(self, language):
        runtime = tempfile.mkdtemp(dir=self.home)
        os.chmod(runtime, 0o700)
        env = dict(self.cupsd.client_env, DISPLAY=self.desktop.display, QT_QPA_PLATFORM="xcb", HOME=self.home,
                   XDG_CONFIG_HOME=tempfile.mkdtemp(dir=self.home), XDG_RUNTIME_DIR=runtime, TZ="UTC", LC_ALL="",
                   LANG="de_DE.UTF-8" if language == "de" else "C.UTF-8")
        return env

    def pick(self, tool, place, steps, condition, what):
        """Opens a pop-up with a click and moves its selection with the arrow keys."""
        self.desktop.click(*place)
        tool.wait(lambda r: r["popup"], what + ": the pop-up open")
        self.desktop.keys(*(["Down"] * steps if steps > 0 else ["Up"] * -steps), "Return")
        return tool.wait(condition, what)

    def shot(self, name, report):
        path = os.path.join(ARGS.shots, name)
        self.desktop.grab(path, report["window"], margin=12)
        self.assertGreater(os.path.getsize(path), 10000, path)

    def session(self, language):
        t = TEXTS[language]
        d = self.desktop
        tool = Tool(["-d", "office", os.path.join(ARGS.samples, "sample-job.ps")], self.env(language))
        try:
            report = tool.wait(lambda r: r["places"]["print"] and r["tabVisible"] and r["active"],
                               "the dialog on the screen, active")
            # It opens on the Job Log tab.
            self.assertEqual(report["currentTab"], t["panel"])
            report = self.pick(tool, report["places"]["JobTypeSelection"], 3,
                               lambda r: r["selected"] == t["hold"], "Hold Print picked")
            d.click(*report["places"]["UserIDField"])
            d.type("carol")
            d.click(*report["places"]["DocNameField"])
            d.type("Plans1")
            tool.wait(lambda r: r["DocNameField"] == "Plans1", "the file name typed")

            # basic offers no Hold Print: the tab says what it dropped.
            report = self.pick(tool, report["places"]["printers"], -1, lambda r: r["printer"] == "basic",
                               "basic chosen")
            self.assertEqual((report["forms"], report["selected"], report["UserIDField"]), (1, t["normal"], "carol"))
            self.assertIn(t["hold"], report["notice"])
            self.shot(f"desktop-{language}-switch-notice.png", report)

            # Locked Print, Print from another tab, without a password: the alert comes up over the
            # Job Log tab, titled with the panel's name, and leaves the focus in the password entry.
            report = self.pick(tool, report["places"]["JobTypeSelection"], 2,
                               lambda r: r["selected"] == t["locked"], "Locked Print picked")
            d.click(*report["places"]["tabs"][t["copies"]])
            tool.wait(lambda r: r["currentTab"] == t["copies"], "the Copies tab in front")
            d.click(*report["places"]["print"])
            report = tool.wait(lambda r: "modal" in r, "the alert")
            self.assertEqual((report["modal"]["name"], report["modal"]["title"], report["modal"]["text"]),
                             ("JobLogAlert", t["panel"], t["alert"]))
            self.assertEqual(report["currentTab"], t["panel"])
            self.shot(f"desktop-{language}-alert.png", report)
            d.keys("Return")
            report = tool.wait(lambda r: "modal" not in r, "the alert closed")
            self.assertEqual((report["focus"], report["currentTab"]), ("PasswordField", t["panel"]))
            # Typed where the focus is; only the digits arrive.
            d.type("12ab34")
            report = tool.wait(lambda r: "••••" in r["summary"], "the password typed")
            self.assertNotIn("•••••", report["summary"])

            # Back to office: the entries go along to its panel, one form on the tab.
            report = self.pick(tool, report["places"]["printers"], 1, lambda r: r["printer"] == "office",
                               "office chosen")
            self.assertEqual((report["forms"], report["selected"], report["UserIDField"]), (1, t["locked"], "carol"))
            self.assertEqual(report["refusal"], "")
            height = tool.settled("the dialog's size after the switch")["dialogHeight"]
            self.shot(f"desktop-{language}-after-switch.png", report)
            for printer, steps in (("basic", -1), ("office", 1)):
                report = self.pick(tool, report["places"]["printers"], steps, lambda r: r["printer"] == printer,
                                   printer + " chosen again")
            report = tool.settled("the dialog's size after switching again")
            self.assertEqual((report["forms"], report["dialogHeight"]), (1, height))

            # Print asks to confirm what the first change dropped; then the Locked Print goes.
            d.click(*report["places"]["print"])
            report = tool.wait(lambda r: r.get("modal", {}).get("name") == "JobLogConfirmation", "the confirmation")
            self.shot(f"desktop-{language}-confirmation.png", report)
            d.click(*report["modal"]["buttons"][t["print"]])
            status, out, err = tool.finish()
        finally:
            if tool.process.poll() is None:
                tool.process.kill()
                tool.process.wait()
        self.assertEqual(status, 0, err)
        match = re.search(r"request id is office-(\d+) \(1 file\(s\)\)", out)
        self.assertIsNotNone(match, out + err)
        data = self.cupsd.wait_capture("office", int(match.group(1)), timeout=60)
        self.assertIsNotNone(data, self.cupsd.logs()[-3000:])
        self.assertRegex(data, rb"\n  \(carol\) \(\d{12}\) \(1234\) \{secureprint\} stopped\n")

    def test_english(self):
        self.session("en")

    def test_german(self):
        self.session("de")

    def test_start_error_in_a_message_box(self):
        """Started from a file manager, there is no terminal: the error shows in a box too."""
        env = dict(self.env("en"), QT_QPA_PLATFORM="xcb")
        missing = os.path.join(self.home, "missing.ps")
        process = subprocess.Popen([ARGS.tool, missing], env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^joblog-print$"],
                                   env=self.desktop.env, capture_output=True, text=True, timeout=30)
            window = found.stdout.split()[0]
            self.desktop.grab(os.path.join(ARGS.shots, "desktop-en-start-error.png"))
            self.desktop.xdotool("windowactivate", "--sync", window)
            self.desktop.keys("Return")
            _, err = process.communicate(timeout=30)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.assertEqual(process.returncode, 1)
        self.assertEqual(err, f"joblog-print: {missing}: no such file\n")


def main():
    import argparse
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ("scripted", "tool", "filter", "samples", "tests", "shots"):
        parser.add_argument("--" + name, required=True)
    ARGS, rest = parser.parse_known_args()
    missing = [name for name in TOOLS if not shutil.which(name)]
    if missing:
        print("skipped: not installed:", ", ".join(missing))
        sys.exit(77)
    unittest.main(module=__name__, argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
