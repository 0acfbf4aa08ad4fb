"""The family's PPDs against ppdc, cupstestppd and a private cupsd: its queues list the Job Log
options, a dialog's job goes through pstops and the filter into valid PostScript, and lpinfo -m
lists each model (the test then runs again in a private mount namespace, unshare -m as root,
where its own directory of the PPDs is bound over /usr/share/ppd).

  python3 test_ppd_family.py --ppds ppd --filter build/Filter/jobtypefilter \\
      --samples samples --readme README.md
"""

import glob
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "process"))
sys.path.insert(0, os.path.join(here, "..", "cups"))
import expected_splice as ex  # noqa: E402
from private_cupsd import PrivateCupsd, rerun_with_ppd_dir  # noqa: E402

ARGS = None
IN_NAMESPACE = "JOBLOG_PPD_FAMILY_NAMESPACE"
SYSTEM_PPD_DIR = "/usr/share/ppd"
COMPILER_LINE = re.compile(rb"^\*%%%% Created by the CUPS PPD Compiler .*\n", re.M)


def kept_ppds():
    return sorted(glob.glob(os.path.join(ARGS.ppds, "*.ppd")))


def ppd_text(path):
    with open(path, encoding="latin-1") as f:
        return f.read()


def main_keyword(text, keyword):
    match = re.search(r'(?m)^\*' + keyword + r':\s*"([^"]*)"', text)
    return match.group(1) if match else None


TWO_PAGE_JOB = b"""%!PS-Adobe-3.0
%%Title: Two pages
%%Pages: 2
%%EndComments
%%BeginProlog
/F { findfont exch scalefont setfont } bind def
%%EndProlog
%%Page: 1 1
24 /Helvetica F 72 720 moveto (Page one) show showpage
%%Page: 2 2
24 /Helvetica F 72 720 moveto (Page two) show showpage
%%EOF
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Description(unittest.TestCase):

    def test_kept_ppds_are_what_the_description_compiles_to(self):
        out = tempfile.mkdtemp(prefix="ppdc-")
        self.addCleanup(shutil.rmtree, out, True)
        result = subprocess.run(["ppdc", "-d", out, os.path.join(ARGS.ppds, "kordavine.drv")],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        compiled = sorted(os.listdir(out))
        self.assertEqual(compiled, [os.path.basename(p) for p in kept_ppds()])
        for name in compiled:
            with self.subTest(ppd=name):
                with open(os.path.join(out, name), "rb") as f:
                    fresh = f.read()
                with open(os.path.join(ARGS.ppds, name), "rb") as f:
                    kept = f.read()
                # The compiler's own version line may differ from one CUPS release to the next.
                self.assertEqual(COMPILER_LINE.sub(b"", kept), COMPILER_LINE.sub(b"", fresh),
                                 "compile the PPDs again: cmake --build build --target ppds")

    def test_cupstestppd_passes_each_ppd_without_warnings(self):
        # cupstestppd looks for the filter in <root>/usr/lib/cups/filter, where CUPS keeps them.
        root = tempfile.mkdtemp(prefix="ppd-root-")
        self.addCleanup(shutil.rmtree, root, True)
        filters = os.path.join(root, "usr", "lib", "cups", "filter")
        os.makedirs(filters)
        shutil.copyfile(ARGS.filter, os.path.join(filters, "jobtypefilter"))
        os.chmod(os.path.join(filters, "jobtypefilter"), 0o755)
        for path in kept_ppds():
            with self.subTest(ppd=os.path.basename(path)):
                result = subprocess.run(["cupstestppd", "-v", "-R", root, path],
                                        capture_output=True, text=True)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertNotRegex(result.stdout, r"WARN|FAIL")

    def test_readme_names_each_model_for_lpadmin(self):
        with open(ARGS.readme, encoding="utf-8") as f:
            readme = f.read()
        for path in kept_ppds():
            with self.subTest(ppd=os.path.basename(path)):
                for text in (f"`lsb/usr/kordavine/{os.path.basename(path)}`",
                             main_keyword(ppd_text(path), "ModelName")):
                    self.assertTrue(text in readme, "the README does not name " + text)


class ThroughCupsd(unittest.TestCase):
    """Queues of every model in a private cupsd. lpoptions asks the queue's own address for the
    PPD, so the scheduler also listens on a free local TCP port and the clients use that."""

    @classmethod
    def setUpClass(cls):
        port = free_port()

        def listen_on_port(conf):
            with open(conf, "a") as f:
                f.write(f"Listen 127.0.0.1:{port}\n")

        cls.cupsd = PrivateCupsd(ARGS.filter, configure=listen_on_port)
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        cls.cupsd.client_env["CUPS_SERVER"] = f"127.0.0.1:{port}"
        cls.queues = {}
        for path in kept_ppds():
            queue = os.path.basename(path)[:-len(".ppd")]
            cls.cupsd.add_queue(queue, path)
            cls.queues[queue] = path

    def lpoptions(self, queue):
        """{keyword: (text, [choices as listed, the default starred])}"""
        out = self.cupsd.client("lpoptions", "-p", queue, "-l").stdout.decode()
        listed = {}
        for line in out.splitlines():
            match = re.fullmatch(r"(\w+)/([^:]*): (.*)", line)
            self.assertIsNotNone(match, line)
            listed[match.group(1)] = (match.group(2), match.group(3).split())
        return listed

    def test_lpoptions_lists_the_job_log_options_of_each_queue(self):
        entries = {"UserID": ("User ID", ["*None", "Custom.STRING"]),
                   "Password": ("Password", ["*None", "Custom.PASSCODE"]),
                   "FileName": ("File Name", ["*None", "Custom.STRING"]),
                   "UserCode": ("User Code", ["*None", "Custom.PASSCODE"])}
        for queue, path in self.queues.items():
            with self.subTest(queue=queue):
                listed = self.lpoptions(queue)
                text = ppd_text(path)
                job_types = re.findall(r"(?m)^\*JobType (\w+)/", text)
                self.assertEqual(listed["JobType"], ("Job Type", ["*Normal"] + job_types[1:]))
                for keyword, expected in entries.items():
                    if keyword == "FileName" and "*OpenUI *FileName/" not in text:
                        self.assertNotIn(keyword, listed)
                    else:
                        self.assertEqual(listed[keyword], expected)
                self.assertEqual(listed["PageSize"][1], ["A3", "*A4", "A5", "B5", "Letter", "Legal"])
                self.assertEqual(listed["Duplex"][1], ["*None", "DuplexNoTumble", "DuplexTumble"])
                self.assertEqual(listed["Collate"][1], ["*True", "False"])
                # IPP clients (iOS, macOS) offer a PIN of the length the queue advertises.
                _, attributes = self.cupsd.ipp(0x000B, [
                    (0x45, "printer-uri", "ipp://localhost/printers/" + queue),
                    (0x44, "requested-attributes", "job-password-supported")])
                self.assertEqual(attributes.get("job-password-supported"),
                                 [len(main_keyword(text, "cupsJobPassword"))])

    def test_dialog_options_go_through_pstops_and_the_filter_into_valid_postscript(self):
        # What a GTK dialog sends: every option, typed entries as Custom., untouched ones None,
        # two-sided as the IPP attribute. pstops prints a one-page job one-sided, so two pages.
        options = {"JobType": "LockedPrint", "UserID": "Custom.alice", "Password": "Custom.4711",
                   "FileName": "None", "UserCode": "None", "sides": "two-sided-long-edge",
                   "Collate": "True", "PageSize": "A4"}
        job_file = os.path.join(self.cupsd.dir, "two-pages.ps")
        with open(job_file, "wb") as f:
            f.write(TWO_PAGE_JOB)
        for queue in self.queues:
            with self.subTest(queue=queue):
                job = self.cupsd.submit(queue, job_file, options, document_format="application/postscript")
                data = self.cupsd.wait_capture(queue, job)
                self.assertIsNotNone(data, self.cupsd.logs()[-3000:])
                self.assertEqual(self.cupsd.wait_job_state(job, {"completed"}), "completed")
                self.assertIn(b"JobType=LockedPrint", self.cupsd.captured_options(queue, job))
                # pstops wrote the PPD's choices into the setup, the filter its splice before the
                # prolog; all of it must run on a PostScript interpreter.
                for feature in (b"*JobType LockedPrint", b"*CustomPassword True", b"*UserCode None",
                                b"*Duplex DuplexNoTumble"):
                    self.assertIn(b"%%BeginFeature: " + feature + b"\n", data, data[-2500:])
                # The filter's splice, what the long-name options give, stands right before the
                # prolog pstops passes on.
                stamps = ex.stamps_in(data)
                self.assertTrue(stamps, data[-2500:])
                splice = ex.expected_splice({"JobType": "Locked Print", "UserID": "alice", "Password": "4711"},
                                            stamps[0])
                self.assertIn(splice + b"%%BeginProlog", data)
                gs = subprocess.run(["gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=nullpage",
                                     "-"], input=data, capture_output=True)
                self.assertEqual(gs.returncode, 0, gs.stdout + gs.stderr)
                self.assertNotIn(b"Error", gs.stdout + gs.stderr)

    def test_lpinfo_lists_each_model_and_lpadmin_takes_it(self):
        if not os.environ.get(IN_NAMESPACE):
            self.skipTest("needs root and unshare to show the PPDs in " + SYSTEM_PPD_DIR)
        listed = self.cupsd.client("lpinfo", "-m").stdout.decode().splitlines()
        for path in kept_ppds():
            name = "lsb/usr/kordavine/" + os.path.basename(path)
            with self.subTest(model=name):
                self.assertIn(f"{name} {main_keyword(ppd_text(path), 'NickName')}", listed)
                queue = "bymodel-" + os.path.basename(path)[:-len(".ppd")]
                self.cupsd.add_queue(queue, path)  # the capture directory; the PPD is replaced
                self.cupsd.client("lpadmin", "-p", queue, "-m", name)
                self.assertEqual(self.lpoptions(queue)["JobType"][1][0], "*Normal")
                with open(self.cupsd.path("root", "ppd", queue + ".ppd"), encoding="latin-1") as f:
                    self.assertIn(f'*ModelName: "{main_keyword(ppd_text(path), "ModelName")}"', f.read())


def run_in_namespace():
    """Runs this file again where /usr/share/ppd holds only the family's PPDs under kordavine/;
    answers its exit status, or None when that cannot be done."""
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--ppds", required=True)
    args, _ = parser.parse_known_args()
    files = {os.path.join("kordavine", os.path.basename(path)): path
             for path in glob.glob(os.path.join(args.ppds, "*.ppd"))}
    return rerun_with_ppd_dir(__file__, SYSTEM_PPD_DIR, files, IN_NAMESPACE)

if __name__ == "__main__":
    if not os.environ.get(IN_NAMESPACE):
        status = run_in_namespace()
        if status is not None:
            sys.exit(status)
    ex.run_unittests("ppds", "filter", "samples", "readme")
