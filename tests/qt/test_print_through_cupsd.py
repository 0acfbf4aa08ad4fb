"""joblog-print through a private cupsd with queues from the sample PPD (office), the family's
MP 2000 (basic: no optional job types, short passwords), a PPD with a duplexer, trays and a
stapler (finisher) and none (raw). The scripted tool (the real dialog, driven in-process with
QTest) submits jobs; the captured bytes and options must hold what the person chose. The real
joblog-print is run for the bad-input cases, and once under xvfb-run.

  python3 test_print_through_cupsd.py --tool build/panel/printtool/joblog-print \
      --scripted build/tests/qt/joblog-print-scripted --filter build/Filter/jobtypefilter \
      --samples samples --tests tests --platform-library build/panel/platform/libkordavine-platform.so \
      --bundle build/panel/JobLog.plugin
"""

import contextlib
import json
import os
import pathlib
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "process"))
import expected_splice as ex  # noqa: E402

ARGS = None
PREFIX = "com.varlo.printsettings."
SECRET_PASSWORD = "24681357"
SECRET_USER_CODE = "97531"

# Each choice of Qt's dialog and its Properties, and the option an lp user gives for it, as the
# finished job carries it; by job, as Qt refuses pages per sheet with a page set and a held job
# stays held.
DIALOG_CHOICES = {
    "printed": [
        ("properties", {"pageSize": "Letter"}, "media", "Letter"),
        ("properties", {"orientation": "landscape"}, "orientation-requested", "4"),
        ("properties", {"pagesPerSheet": "2 (2x1)"}, "number-up", "2"),
        ("properties", {"priority": 90}, "job-priority", "90"),
        ("properties", {"ppd": {"Staple": "Top Left"}}, "KDVStaple", "TopLeft"),
        ("properties", {"ppd": {"Paper Source": "Tray 2"}}, "InputSlot", "Tray2"),
        ("options", {"reverse": True}, "outputorder", "reverse"),
        ("options", {"duplex": "long"}, "sides", "two-sided-long-edge"),
        ("options", {"copies": 3}, "copies", "3"),
        ("options", {"collate": False}, "multiple-document-handling", "separate-documents-uncollated-copies"),
    ],
    "page set": [
        # The file's own page numbers: odd pages of 2-5 are 3 and 5.
        ("options", {"pageSet": "Odd Pages"}, "page-set", "odd"),
        ("options", {"from": 2, "to": 5}, "page-ranges", "2-5"),
    ],
    "held": [
        ("properties", {"hold": "Hold Indefinitely"}, "job-hold-until", "indefinite"),
        ("properties", {"startBanner": "Standard"}, "job-sheets", "standard,none"),
    ],
}
# Job attributes the scheduler keeps rather than passing them on with the job's options.
SCHEDULER_ATTRIBUTES = {"copies", "job-priority", "job-hold-until", "job-sheets"}


def dialog_steps(choices):
    """The choices made in one Properties and one options step, then Print."""
    steps = {"properties": {}, "options": {}}
    for step, choice, _, _ in choices:
        for key, value in choice.items():
            steps[step][key] = {**steps[step].get(key, {}), **value} if isinstance(value, dict) else value
    return [{name: value} for name, value in steps.items()] + [{"print": True}]


def sample(name):
    return os.path.join(ARGS.samples, name)


def held_block(user, stamp, file_name):
    """The Hold Print block, the empty line of no copy control and the token line."""
    return ex.golden("paused-print", UserID=user, Time=stamp, FileName=file_name) + b"\n" + ex.TOKEN


def locked_block(user, stamp, password):
    return ex.golden("locked-print", UserID=user, Time=stamp, Password=password) + b"\n" + ex.TOKEN


def user_info_stamp(test, data, user):
    match = re.search(rb"\n  \(" + user + rb"\) \(\) \((\d{12})\) \{setuserinfo\} stopped\ncleartomark\n", data)
    test.assertIsNotNone(match, data[:3000])
    return match.group(1)


def parse_options(text):
    """The backend's options argument as a dict (values unquoted as CUPS writes them)."""
    options = {}
    for word in shlex.split(text.decode()):
        name, _, value = word.partition("=")
        options[name] = value
    return options


class Run:
    def __init__(self, result):
        self.status = result.returncode
        self.out = result.stdout.decode(errors="replace")
        self.err = result.stderr.decode(errors="replace")
        self.lines = [json.loads(line) for line in self.out.splitlines() if line.startswith("{")]

    def of(self, kind):
        return [line for line in self.lines if kind in line]

    def dumps(self):
        return [line["dump"] for line in self.of("dump")]

    def job_id(self, queue):
        match = re.search(r"^request id is " + re.escape(queue) + r"-(\d+) \(1 file\(s\)\)$", self.out, re.M)
        return int(match.group(1)) if match else None


class PrintThroughCupsd(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        sys.path.insert(0, os.path.join(ARGS.tests, "cups"))
        from private_cupsd import PrivateCupsd
        cls.cupsd = PrivateCupsd(ARGS.filter)
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        cls.cupsd.add_queue("office", sample("kordavine-office.ppd"))
        cls.cupsd.add_queue("basic", os.path.join(ARGS.tests, "..", "ppd", "kordavine-office-mp2000.ppd"))
        cls.cupsd.add_queue("finisher", os.path.join(ARGS.tests, "qt", "fixtures", "finisher.ppd"))
        cls.cupsd.client("lpadmin", "-d", "office")
        # A queue without a PPD: the panel behaves as with no PPD.
        cls.raw_dir = os.path.join(cls.cupsd.dir, "captures", "raw")
        os.makedirs(cls.raw_dir, exist_ok=True)
        if os.geteuid() == 0:
            shutil.chown(cls.raw_dir, "lp", "lp")
        cls.cupsd.client("lpadmin", "-p", "raw", "-E", "-v", "capture:" + cls.raw_dir)
        cls.home = tempfile.mkdtemp(prefix="joblog-home-")
        cls.addClassCleanup(shutil.rmtree, cls.home, True)

    def setUp(self):
        # Each test starts with nothing remembered.
        self.config = tempfile.mkdtemp(prefix="joblog-config-")
        self.addCleanup(shutil.rmtree, self.config, True)

    def env(self, **extra):
        env = dict(self.cupsd.client_env, HOME=self.home, XDG_CONFIG_HOME=self.config,
                   QT_QPA_PLATFORM="offscreen", TZ="UTC")
        env.update(extra)
        return env

    @contextlib.contextmanager
    def lpoptions(self, line):
        path = os.path.join(self.home, ".cups", "lpoptions")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(line + "\n")
        try:
            yield
        finally:
            os.remove(path)

    def scripted(self, steps, *argv, env=None):
        command = [ARGS.scripted, "--steps", json.dumps(steps), *argv]
        return Run(subprocess.run(command, capture_output=True, env=env or self.env(), timeout=120))

    def tool(self, *argv, env=None, timeout=120):
        return Run(subprocess.run([ARGS.tool, *argv], capture_output=True, env=env or self.env(), timeout=timeout))

    def jobs(self, queue):
        listing = self.cupsd.client("lpstat", "-W", "all", "-o", queue, check=False).stdout.decode()
        return [line.split()[0] for line in listing.splitlines() if line.strip()]

    def capture(self, queue, job_id):
        data = self.cupsd.wait_capture(queue, job_id, timeout=60)
        self.assertIsNotNone(data, "nothing reached the printer:\n" + self.cupsd.logs()[-4000:])
        return data

    def printed(self, run, queue):
        self.assertEqual(run.status, 0, run.err)
        job = run.job_id(queue)
        self.assertIsNotNone(job, run.out + run.err)
        return job, self.capture(queue, job)

    def test_locked_print(self):
        run = self.scripted([{"pick": "Locked Print"}, {"type": "UserIDField", "text": "bob"},
                             {"type": "LongPasswordField", "text": "12345678"}, {"print": True}],
                            "-d", "office", sample("sample-job.ps"))
        self.assertEqual(run.of("alert"), [])
        _, data = self.printed(run, "office")
        self.assertIn(locked_block(b"bob", user_info_stamp(self, data, b"bob"), b"12345678"), data)
        # The password travelled in the job's options only: not on stdout or stderr.
        self.assertNotIn("12345678", run.out + run.err)

    def test_hold_print_with_copies(self):
        run = self.scripted([{"pick": "Hold Print"}, {"type": "UserIDField", "text": "alice01"},
                             {"type": "DocNameField", "text": "Report2024"}, {"print": True}],
                            "-n", "2", "-t", "Quarterly", sample("sample-job.ps"))
        job, data = self.printed(run, "office")
        self.assertIn(held_block(b"alice01", user_info_stamp(self, data, b"alice01"), b"Report2024"), data)
        attributes = self.cupsd.job_attributes(job)
        self.assertEqual(attributes.get("copies"), [2])
        self.assertEqual(attributes.get("job-name"), ["Quarterly"])

    def test_refused_entry_alert_over_the_tab_then_cancel_submits_nothing(self):
        before = self.jobs("office")
        run = self.scripted([{"pick": "Hold Print"}, {"type": "UserIDField", "text": "eve"},
                             {"type": "DocNameField", "text": "my file"},
                             {"options": {"copies": 2}},  # the person was last on another tab
                             {"print": True}, {"dump": True}, {"cancel": True}], sample("sample-job.ps"))
        self.assertEqual(run.status, 1)
        # The alert carries the panel's name and comes up over the Job Log tab.
        self.assertEqual(run.of("alert"), [{"alert": "Enter a valid File Name", "title": "Job Log",
                                            "currentTab": "Job Log"}])
        dump = run.dumps()[0]
        # The dialog stayed open with everything typed, the focus in the entry the alert is about.
        self.assertEqual(dump["focus"], "DocNameField")
        self.assertEqual(dump["currentTab"], "Job Log")
        self.assertEqual(dump["refusal"], "Enter a valid File Name")
        self.assertIn("⚠ File Name: my file (not yet acceptable)", dump["summary"].split("\n"))
        self.assertEqual(dump["DocNameField"], "my file")
        self.assertEqual(dump["UserIDField"], "eve")
        self.assertIsNone(run.job_id("office"))
        self.assertIn("cancelled; nothing was printed", run.err)
        self.assertEqual(self.jobs("office"), before)

    def test_german_locale_and_preset_from_lpoptions(self):
        with self.lpoptions("Dest office " + PREFIX + "UserID=carol " + PREFIX + 'JobType="Locked Print"'):
            run = self.scripted([{"dump": True}, {"cancel": True}], sample("sample-job.ps"),
                                env=self.env(LANG="de_DE.UTF-8", LC_MESSAGES="", LC_ALL=""))
        self.assertEqual(run.status, 1, run.err)
        dump = run.dumps()[0]
        # The default printer, though the user's lpoptions name none.
        self.assertEqual(dump["printer"], "office")
        self.assertEqual(dump["name"], "Auftragsprotokoll")
        # The panel is a tab of Qt's print dialog, titled with its localized name, in front.
        self.assertEqual(dump["tabTitle"], "Auftragsprotokoll")
        self.assertEqual(dump["currentTab"], "Auftragsprotokoll")
        self.assertEqual(dump["selected"], "Vertraulicher Druck")
        self.assertEqual(dump["UserIDField"], "carol")
        self.assertEqual(dump["summary"].split("\n"), ["Auftragsart: Vertraulicher Druck", "Benutzer-ID: carol",
                                                       "⚠ Passwort: (noch nicht gültig)"])

    def test_the_dialog_is_fully_german(self):
        """With Qt's translations installed (qt6-translations-l10n), no text of the dialog and its
        Properties stays English, but for those that are the same in German and those the printer's
        PPD brings."""
        if not os.path.exists("/usr/share/qt6/translations/qtbase_de.qm"):
            self.skipTest("qt6-translations-l10n is not installed")
        steps = [{"texts": True}, {"properties": {}}, {"cancel": True}]
        english = self.scripted(steps, "-d", "finisher", sample("sample-job.ps"),
                                env=self.env(LANG="C.UTF-8", LC_ALL=""))
        german = self.scripted(steps, "-d", "finisher", sample("sample-job.ps"),
                               env=self.env(LANG="de_DE.UTF-8", LC_ALL=""))

        def shown(run):
            return set(run.of("texts")[0]["texts"]) | set(run.of("properties")[0]["properties"]["texts"])

        same = {"", "&Name:", "OK", "sample-job.ps"}
        # From the PPD: its nickname, option group and option texts.
        ppd = {"Kordavine Office MP 4000 Job Log", "General", "Staple", "Paper Source"}
        self.assertIn("&Drucken", shown(german))
        self.assertIn("Auftragsprotokoll", shown(german))
        self.assertEqual(shown(english) & shown(german) - same - ppd, set())

    def test_printer_change_carries_a_locked_print_over(self):
        """Locked Print typed for basic, the printer changed to office, Print:
        a Locked Print with the same user ID and password, from one form on the tab."""
        run = self.scripted([{"pick": "Locked Print"}, {"type": "UserIDField", "text": "carol"},
                             {"type": "PasswordField", "text": "1234"}, {"printer": "office"}, {"dump": True},
                             {"printer": "basic"}, {"printer": "office"}, {"printer": "basic"},
                             {"printer": "office"}, {"dump": True}, {"print": True}],
                            "-d", "basic", sample("sample-job.ps"))
        first, last = run.dumps()
        for dump in (first, last):
            self.assertEqual((dump["forms"], dump["printer"], dump["selected"], dump["UserIDField"], dump["notice"]),
                             (1, "office", "Locked Print", "carol", ""))
        # The window does not grow with the changes.
        self.assertEqual(last["dialogHeight"], first["dialogHeight"])
        self.assertEqual(run.of("confirm"), [])
        _, data = self.printed(run, "office")
        self.assertIn(locked_block(b"carol", user_info_stamp(self, data, b"carol"), b"1234"), data)

    def test_dropped_job_type_prints_only_once_confirmed(self):
        steps = [{"pick": "Hold Print"}, {"type": "UserIDField", "text": "alice"},
                 {"type": "DocNameField", "text": "Report"}, {"printer": "basic"}, {"dump": True}]
        before = self.jobs("basic")
        refused = self.scripted(steps + [{"print": True, "confirm": "cancel"}, {"dump": True}, {"cancel": True}],
                                "-d", "office", sample("sample-job.ps"))
        notice = ("Not carried over to basic:\n"
                  "• basic does not offer Hold Print; the job type is now Normal Print.\n"
                  "Check the Job Log settings; Print asks you to confirm them.")
        self.assertEqual(refused.dumps()[0]["notice"], notice)
        self.assertEqual((refused.dumps()[0]["selected"], refused.dumps()[0]["DocNameField"]),
                         ("Normal Print", "Report"))
        self.assertEqual(refused.of("confirm"), [{"confirm": notice + "\n\nPrint with these settings?",
                                                  "title": "Job Log"}])
        self.assertEqual(refused.dumps()[1]["currentTab"], "Job Log")
        self.assertEqual(refused.status, 1)
        self.assertEqual(self.jobs("basic"), before)

        confirmed = self.scripted(steps + [{"print": True, "confirm": "print"}], "-d", "office",
                                  sample("sample-job.ps"))
        self.assertEqual(len(confirmed.of("confirm")), 1)
        job, data = self.printed(confirmed, "basic")
        self.assertNotIn(b"SetJobType", data)
        self.assertEqual(parse_options(self.cupsd.captured_options("basic", job))[PREFIX + "JobType"], "Normal")

    def test_dialog_choices_reach_the_job(self):
        """What cannot reach a finished file (margins, the page set-up's paper source, the
        free-form page list Qt 6.4 refuses) is not offered."""
        for label, choices in DIALOG_CHOICES.items():
            run = self.scripted(dialog_steps(choices), "-d", "finisher", sample("sample-job.ps"))
            self.assertEqual(sorted(run.of("properties")[0]["properties"]["hidden"]), ["paperSource", "topMargin"])
            self.assertEqual(run.status, 0, run.err)
            job = run.job_id("finisher")
            if label == "held":
                self.assertEqual(self.cupsd.wait_job_state(job, ("held",)), "held")
                self.addCleanup(self.cupsd.client, "cancel", f"finisher-{job}")
                options = {}
            else:
                self.capture("finisher", job)
                options = parse_options(self.cupsd.captured_options("finisher", job))
            attributes = self.cupsd.job_attributes(job)
            for _, _, name, value in choices:
                with self.subTest(label, option=name):
                    if name in SCHEDULER_ATTRIBUTES:
                        self.assertEqual(",".join(map(str, attributes.get(name, []))), value, attributes)
                    else:
                        self.assertEqual(options.get(name), value, options)

    def test_a_second_run_starts_from_the_remembered_settings(self):
        first = self.scripted([{"pick": "Stored Print"}, {"type": "UserIDField", "text": "dan"},
                               {"type": "LongPasswordField", "text": SECRET_PASSWORD},
                               {"type": "DocNameField", "text": "plans"}, {"toggle": "EnableUserCode"},
                               {"type": "UserCodeField", "text": SECRET_USER_CODE}, {"print": True}],
                              "-d", "office", sample("sample-job.ps"))
        self.printed(first, "office")
        second = self.scripted([{"dump": True}, {"cancel": True}], "-d", "office", sample("sample-job.ps"))
        dump = second.dumps()[0]
        # The user code stays on, its code is not kept.
        self.assertEqual((dump["selected"], dump["UserIDField"], dump["DocNameField"], dump["UserCodeField"]),
                         ("Stored Print", "dan", "plans", ""))
        self.assertEqual(dump["summary"].split("\n"),
                         ["Job Type: Stored Print", "User ID: dan", "User Code:", "Password:", "File Name: plans"])
        # Another printer remembers its own.
        other = self.scripted([{"dump": True}, {"cancel": True}], "-d", "basic", sample("sample-job.ps"))
        self.assertEqual((other.dumps()[0]["selected"], other.dumps()[0]["UserIDField"]), ("Normal Print", ""))
        # Nothing the tool wrote holds the password or the user code, and lpoptions is untouched.
        written = {name: pathlib.Path(root, name).read_bytes() for root, _, names in os.walk(self.config)
                   for name in names}
        self.assertEqual(list(written), ["joblog-print.conf"])
        for content in written.values():
            self.assertIn(b"dan", content)
            self.assertNotIn(SECRET_PASSWORD.encode(), content)
            self.assertNotIn(SECRET_USER_CODE.encode(), content)
        self.assertFalse(os.path.exists(os.path.join(self.home, ".cups", "lpoptions")))
        # The queue's saved options still come first where they set a key.
        with self.lpoptions("Dest office " + PREFIX + "UserID=erin"):
            third = self.scripted([{"dump": True}, {"cancel": True}], "-d", "office", sample("sample-job.ps"))
        self.assertEqual((third.dumps()[0]["selected"], third.dumps()[0]["UserIDField"]), ("Stored Print", "erin"))

    def test_printer_without_ppd(self):
        run = self.scripted([{"dump": True}, {"printer": "raw"}, {"dump": True}, {"print": True}],
                            "-d", "office", sample("sample-job.ps"))
        first, second = run.dumps()
        self.assertEqual(len(first["jobTypes"]), 7)
        self.assertEqual(second["printer"], "raw")
        # No PPD: the panel offers what it offers without one.
        self.assertEqual(second["jobTypes"], ["Normal Print", "Sample Print", "Locked Print"])
        self.printed(run, "raw")

    def test_bad_input(self):
        fifo = os.path.join(self.config, "fifo.ps")
        os.mkfifo(fifo)
        cases = [
            ("no such file", [os.path.join(self.home, "missing.ps")], 1, "missing.ps: no such file"),
            ("a folder", [self.home], 1, ": is a directory"),
            # Nothing writes to the FIFO: opening it to read would hold the tool for ever.
            ("a FIFO", [fifo], 1, "fifo.ps: is not a regular file"),
            ("a device", ["/dev/zero"], 1, "/dev/zero: is not a regular file"),
            ("no such printer", ["-d", "nosuch", sample("sample-job.ps")], 1, "there is no printer named nosuch"),
            ("bad copies", ["-n", "0", sample("sample-job.ps")], 2, "-n needs a number of copies"),
            ("no file", [], 2, "no file to print"),
            # libcups would fail to write it and report "Success".
            ("a 40 KB title", ["-t", "t" * 40000, sample("sample-job.ps")], 2,
             "-t: the title is 40000 bytes long; a print request carries at most 32767"),
        ]
        for label, argv, status, message in cases:
            with self.subTest(label):
                run = self.tool(*argv, timeout=20)
                self.assertEqual(run.status, status, run.err)
                self.assertIn(message, run.err)
                self.assertNotIn("Success", run.err)
                self.assertEqual(run.out, "")

    def test_unreadable_file(self):
        """Printed by nobody (root reads everything), from copies of the program, its platform
        library and the bundle in a place nobody reaches: the checkout may lie where only root may."""
        if os.geteuid() != 0 or not shutil.which("setpriv"):
            self.skipTest("needs root and setpriv to print as another user")
        place = tempfile.mkdtemp(prefix="joblog-nobody-")
        self.addCleanup(shutil.rmtree, place, True)
        os.chmod(place, 0o755)
        shutil.copy2(ARGS.tool, os.path.join(place, "joblog-print"))
        shutil.copy2(ARGS.platform_library, place)
        shutil.copytree(ARGS.bundle, os.path.join(place, "JobLog.plugin"))
        for name in ("locked.ps", "job.ps"):
            shutil.copyfile(sample("sample-job.ps"), os.path.join(place, name))
        os.chmod(os.path.join(place, "locked.ps"), 0)

        def as_nobody(*argv):
            command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                       os.path.join(place, "joblog-print"), "--bundle", os.path.join(place, "JobLog.plugin"), *argv]
            env = self.env(LD_LIBRARY_PATH=place, HOME=place, XDG_CONFIG_HOME=place)
            return Run(subprocess.run(command, capture_output=True, env=env, timeout=60))

        # A readable file gets as far as the printers; the unreadable one is refused.
        run = as_nobody("-d", "nosuch", os.path.join(place, "job.ps"))
        self.assertEqual((run.status, run.err), (1, "joblog-print: there is no printer named nosuch\n"))
        run = as_nobody(os.path.join(place, "locked.ps"))
        self.assertEqual(run.status, 1, run.err)
        self.assertIn("locked.ps: cannot be read: Permission denied", run.err)

    def test_cupsd_not_running_and_no_printers(self):
        missing = self.tool(sample("sample-job.ps"), env=self.env(CUPS_SERVER=os.path.join(self.home, "no.sock")))
        self.assertEqual(missing.status, 1)
        self.assertRegex(missing.err, r"^joblog-print: cannot reach the print system at .*no\.sock: \S.*\n$")
        from private_cupsd import PrivateCupsd
        with PrivateCupsd(ARGS.filter) as empty:
            run = self.tool(sample("sample-job.ps"), env=dict(empty.client_env, HOME=self.home))
        self.assertEqual(run.status, 1)
        self.assertEqual(run.err, "joblog-print: no printers are set up\n")

    def test_starts_under_a_real_x_server(self):
        if not shutil.which("xvfb-run"):
            self.skipTest("xvfb-run is not installed")
        env = self.env(QT_QPA_PLATFORM="xcb")
        command = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", ARGS.scripted, "--steps",
                   json.dumps([{"dump": True}, {"cancel": True}]), sample("sample-job.ps")]
        run = Run(subprocess.run(command, capture_output=True, env=env, timeout=120))
        self.assertEqual(run.status, 1, run.err)
        self.assertEqual(run.dumps()[0]["name"], "Job Log")
        self.assertEqual(len(run.dumps()[0]["jobTypes"]), 7)


def main():
    import argparse
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ("tool", "scripted", "filter", "samples", "tests", "platform-library", "bundle"):
        parser.add_argument("--" + name, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(module=__name__, argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
