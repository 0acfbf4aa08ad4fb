"""joblog-print through a real scheduler: a private cupsd with a queue made from the sample PPD
(and one without a PPD). The scripted tool (the real dialog, driven in-process with QTest)
submits the sample job as Locked Print and as Hold Print; the capture backend's bytes must hold
exactly the blocks the filter makes for those values. A refused entry and Cancel submit nothing.
The real joblog-print is run for the bad-input cases, and once under xvfb-run on a real X server.

  python3 test_print_through_cupsd.py --tool build/panel/printtool/joblog-print \
      --scripted build/tests/qt/joblog-print-scripted --filter build/Filter/jobtypefilter \
      --samples samples --tests tests
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

ARGS = None
PREFIX = "com.varlo.printsettings."


def sample(name):
    return os.path.join(ARGS.samples, name)


def held_block(user, stamp, file_name):
    return (b"mark {\n<<\n\t/JobType 3\n\t/JobInfo <<\t/UserID (" + user + b")\n\t\t/Time (" + stamp +
            b")\n\t\t/JobID (" + file_name + b")\n\t>>\n"
            b">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec\n} stopped cleartomark\n\n%%BeginProlog")


def locked_block(user, stamp, password):
    return (b"mark\n  (" + user + b") (" + stamp + b") (" + password + b") {secureprint} stopped\ncleartomark\n\n"
            b"%%BeginProlog")


class Run:
    def __init__(self, result):
        self.status = result.returncode
        self.out = result.stdout.decode(errors="replace")
        self.err = result.stderr.decode(errors="replace")
        self.lines = [json.loads(line) for line in self.out.splitlines() if line.startswith("{")]

    def dumps(self):
        return [line["dump"] for line in self.lines if "dump" in line]

    def alerts(self):
        return [line["alert"] for line in self.lines if "alert" in line]

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
        cls.cupsd.client("lpadmin", "-d", "office")
        # A queue without a PPD: the panel behaves as with no PPD.
        cls.raw_dir = os.path.join(cls.cupsd.dir, "captures", "raw")
        os.makedirs(cls.raw_dir, exist_ok=True)
        if os.geteuid() == 0:
            shutil.chown(cls.raw_dir, "lp", "lp")
        cls.cupsd.client("lpadmin", "-p", "raw", "-E", "-v", "capture:" + cls.raw_dir)
        cls.home = tempfile.mkdtemp(prefix="joblog-home-")
        cls.addClassCleanup(shutil.rmtree, cls.home, True)

    def env(self, **extra):
        env = dict(self.cupsd.client_env, HOME=self.home, QT_QPA_PLATFORM="offscreen", TZ="UTC")
        env.update(extra)
        return env

    def scripted(self, steps, *argv, env=None):
        command = [ARGS.scripted, "--steps", json.dumps(steps), *argv]
        return Run(subprocess.run(command, capture_output=True, env=env or self.env(), timeout=120))

    def tool(self, *argv, env=None):
        return Run(subprocess.run([ARGS.tool, *argv], capture_output=True, env=env or self.env(), timeout=120))

    def jobs(self, queue):
        listing = self.cupsd.client("lpstat", "-W", "all", "-o", queue, check=False).stdout.decode()
        return [line.split()[0] for line in listing.splitlines() if line.strip()]

    def capture(self, queue, job_id):
        data = self.cupsd.wait_capture(queue, job_id, timeout=60)
        self.assertIsNotNone(data, "nothing reached the printer:\n" + self.cupsd.logs()[-4000:])
        return data

    def test_locked_print(self):
        run = self.scripted([{"pick": "Locked Print"}, {"type": "UserIDField", "text": "bob"},
                             {"type": "LongPasswordField", "text": "12345678"}, {"print": True}],
                            "-d", "office", sample("sample-job.ps"))
        self.assertEqual(run.status, 0, run.err)
        self.assertEqual(run.alerts(), [])
        job = run.job_id("office")
        self.assertIsNotNone(job, run.out)
        data = self.capture("office", job)
        match = re.search(rb"\n  \(bob\) \(\) \((\d{12})\) \{setuserinfo\} stopped\ncleartomark\n", data)
        self.assertIsNotNone(match, data[:3000])
        self.assertIn(locked_block(b"bob", match.group(1), b"12345678"), data)
        # The password travelled in the job's options only: not on stdout or stderr.
        self.assertNotIn("12345678", run.out + run.err)

    def test_hold_print_with_copies(self):
        run = self.scripted([{"pick": "Hold Print"}, {"type": "UserIDField", "text": "alice01"},
                             {"type": "DocNameField", "text": "Report2024"}, {"print": True}],
                            "-n", "2", "-t", "Quarterly", sample("sample-job.ps"))
        self.assertEqual(run.status, 0, run.err)
        job = run.job_id("office")
        self.assertIsNotNone(job, run.out)
        data = self.capture("office", job)
        match = re.search(rb"\n  \(alice01\) \(\) \((\d{12})\) \{setuserinfo\} stopped\ncleartomark\n", data)
        self.assertIsNotNone(match, data[:3000])
        self.assertIn(held_block(b"alice01", match.group(1), b"Report2024"), data)
        attributes = self.cupsd.job_attributes(job)
        self.assertEqual(attributes.get("copies"), [2])
        self.assertEqual(attributes.get("job-name"), ["Quarterly"])

    def test_refused_entry_then_cancel_submits_nothing(self):
        before = self.jobs("office")
        run = self.scripted([{"pick": "Hold Print"}, {"type": "UserIDField", "text": "eve"},
                             {"type": "DocNameField", "text": "my file"}, {"print": True}, {"dump": True},
                             {"cancel": True}], sample("sample-job.ps"))
        self.assertEqual(run.status, 1)
        self.assertEqual(run.alerts(), ["Enter a valid File Name"])
        # The dialog stayed open with everything typed still there, the Job Log tab in front.
        self.assertTrue(run.dumps()[0]["tabVisible"])
        self.assertEqual(run.dumps()[0]["refusal"], "Enter a valid File Name")
        self.assertEqual(run.dumps()[0]["DocNameField"], "my file")
        self.assertEqual(run.dumps()[0]["UserIDField"], "eve")
        self.assertIsNone(run.job_id("office"))
        self.assertIn("cancelled; nothing was printed", run.err)
        self.assertEqual(self.jobs("office"), before)

    def test_german_locale_and_preset_from_lpoptions(self):
        os.makedirs(os.path.join(self.home, ".cups"), exist_ok=True)
        with open(os.path.join(self.home, ".cups", "lpoptions"), "w") as f:
            f.write("Dest office " + PREFIX + "UserID=carol " + PREFIX + 'JobType="Locked Print"\n')
        try:
            run = self.scripted([{"dump": True}, {"cancel": True}], sample("sample-job.ps"),
                                env=self.env(LANG="de_DE.UTF-8", LC_MESSAGES="", LC_ALL=""))
        finally:
            os.remove(os.path.join(self.home, ".cups", "lpoptions"))
        self.assertEqual(run.status, 1, run.err)
        dump = run.dumps()[0]
        self.assertEqual(dump["name"], "Auftragsprotokoll")
        # The panel is a tab of Qt's print dialog, titled with its localized name.
        self.assertEqual(dump["tabTitle"], "Auftragsprotokoll")
        self.assertEqual(dump["selected"], "Vertraulicher Druck")
        self.assertEqual(dump["UserIDField"], "carol")
        self.assertEqual(dump["summary"].split("\n"), ["Auftragsart: Vertraulicher Druck", "Benutzer-ID: carol"])

    def test_printer_change_follows_the_ppd(self):
        run = self.scripted([{"dump": True}, {"printer": "raw"}, {"dump": True}, {"print": True}],
                            "-d", "office", sample("sample-job.ps"))
        self.assertEqual(run.status, 0, run.err)
        first, second = run.dumps()
        self.assertEqual(len(first["jobTypes"]), 7)
        self.assertEqual(second["printer"], "raw")
        # No PPD: the panel offers what it offers without one.
        self.assertEqual(second["jobTypes"], ["Normal Print", "Sample Print", "Locked Print"])
        job = run.job_id("raw")
        self.assertIsNotNone(job, run.out)
        self.assertIsNotNone(self.cupsd.wait_capture("raw", job, timeout=60), self.cupsd.logs()[-3000:])

    def test_bad_input(self):
        unreadable = os.path.join(self.home, "locked.ps")
        shutil.copyfile(sample("sample-job.ps"), unreadable)
        os.chmod(unreadable, 0)
        cases = [
            ("no such file", [os.path.join(self.home, "missing.ps")], 1, "missing.ps: no such file"),
            ("a folder", [self.home], 1, ": is a directory"),
            ("no such printer", ["-d", "nosuch", sample("sample-job.ps")], 1, "there is no printer named nosuch"),
            ("bad copies", ["-n", "0", sample("sample-job.ps")], 2, "-n needs a number of copies"),
            ("no file", [], 2, "no file to print"),
        ]
        for label, argv, status, message in cases:
            with self.subTest(label):
                run = self.tool(*argv)
                self.assertEqual(run.status, status, run.err)
                self.assertIn(message, run.err)
                self.assertEqual(run.out, "")
        # Unreadable for the person printing (root reads everything, so print as nobody).
        if os.geteuid() == 0 and shutil.which("setpriv"):
            os.chmod(self.home, 0o755)
            run = Run(subprocess.run(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                      ARGS.tool, unreadable], capture_output=True, env=self.env(), timeout=60))
        else:
            run = self.tool(unreadable)
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
    for name in ("tool", "scripted", "filter", "samples", "tests"):
        parser.add_argument("--" + name, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(module=__name__, argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
