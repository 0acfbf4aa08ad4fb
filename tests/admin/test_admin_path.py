"""The README's administrator path against the real parts, and its job-type table against the
built filter, so that the documentation cannot drift silently:

- the README's own lpadmin line, with only the printer's address replaced by a listener of the
  test's, makes a queue in a private cupsd with Debian's stock policies, prints the deprecation
  warning the README quotes, and a job sent to it reaches the listener with the splice;
- lpinfo -m lists the installed PPD under the name the README gives, and lpadmin -m takes it;
- every "Filter needs" row: with just the listed options the filter splices, with any one of
  them missing it refuses the splice;
- the copy-control table: a required key left out refuses the job, an optional one left out
  gives the output of its bold default, every other listed value gives another output, and a
  value in other letter case counts as absent.

The PPD must lie where the README's line says, without writing into the live system: the test
runs itself again in a private mount namespace (unshare -m, as root) in which a directory of its
own, holding the sample PPD, is bound over the PPD directory.

  python3 test_admin_path.py --filter build/Filter/jobtypefilter --samples samples \\
      --readme README.md
"""

import os
import re
import shlex
import socket
import sys
import threading
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "process"))
sys.path.insert(0, os.path.join(here, "..", "cups"))
import expected_splice as ex  # noqa: E402
from private_cupsd import PrivateCupsd, rerun_with_ppd_dir  # noqa: E402

ARGS = None
IN_NAMESPACE = "JOBLOG_ADMIN_PATH_NAMESPACE"
STOCK_CONF = "/usr/share/cups/cupsd.conf.default"
VALUES = {"UserID": "alice", "Password": "1234", "FileName": "report", "UserCode": "42"}


def readme():
    with open(ARGS.readme, encoding="utf-8") as f:
        return f.read()


def section(text, title):
    start = text.index("## " + title)
    end = text.find("\n## ", start + 1)
    return text[start:end if end >= 0 else len(text)]


def readme_lpadmin_argv():
    lines = re.findall(r"(?m)^ {4}(lpadmin .*)$", section(readme(), "For the CUPS administrator"))
    assert len(lines) == 1, lines
    return shlex.split(lines[0])


def option_value(argv, flag):
    return argv[argv.index(flag) + 1]


def readme_table(column):
    """The rows of the first table in "For the person printing" with a header cell `column`,
    each as {header: cell}."""
    rows, header = [], None
    for line in section(readme(), "For the person printing").splitlines():
        if not line.startswith("|"):
            if header is not None:
                break  # the end of the table
            continue
        cells = [cell.strip() for cell in line.strip("|").split("|")]
        if header is None:
            header = cells if column in cells else None
        elif not set(cells[0]) <= set("-"):
            rows.append(dict(zip(header, cells)))
    return rows


def ticked(cell):
    return re.findall(r"`([^`]+)`", cell)


def needs_table():
    """[(JobType value, [keys the filter needs])] from the README's job-type table."""
    return [(ticked(row["Stored as `JobType`"])[0], ticked(row["Filter needs"]))
            for row in readme_table("Filter needs")]


def without_stamps(output):
    """The filter's output with its compact and display time stamps blanked."""
    return re.sub(rb"\d{4}/\d{2}/\d{2} \d{2}:\d{2}|\d{12}", b"@", output)


class SocketPrinter:
    """A printer's raw port: takes one connection at a time and keeps what each one sent."""

    def __init__(self):
        self.server = socket.create_server(("127.0.0.1", 0))
        self.port = self.server.getsockname()[1]
        self.jobs = []
        self.received = threading.Condition()
        threading.Thread(target=self._serve, daemon=True).start()

    def _serve(self):
        while True:
            try:
                connection, _ = self.server.accept()
            except OSError:
                return
            with connection:
                data = bytearray()
                while chunk := connection.recv(65536):
                    data += chunk
            with self.received:
                self.jobs.append(bytes(data))
                self.received.notify_all()

    def wait_job(self, count, timeout=30):
        with self.received:
            self.received.wait_for(lambda: len(self.jobs) >= count, timeout)
            return self.jobs[count - 1] if len(self.jobs) >= count else None

    def close(self):
        self.server.close()


class AdministratorPath(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        with open(STOCK_CONF) as f:
            policies = "".join(re.findall(r"(?ms)^<Policy .*?^</Policy>\n", f.read()))
        cls.cupsd = PrivateCupsd(ARGS.filter, policies=policies, backends=("socket",))
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        cls.printer = SocketPrinter()
        cls.addClassCleanup(cls.printer.close)
        with open(os.path.join(ARGS.samples, "sample-job.ps"), "rb") as f:
            cls.job = f.read()

    def add_queue_as_the_readme_says(self, argv):
        uri = option_value(argv, "-v")
        self.assertTrue(uri.startswith("socket://"), uri)
        argv = list(argv)
        argv[argv.index("-v") + 1] = f"socket://127.0.0.1:{self.printer.port}"
        return self.cupsd.client(*argv), argv[argv.index("-p") + 1]

    def print_through(self, queue, options):
        sent = len(self.printer.jobs)
        job_id = self.cupsd.submit(queue, os.path.join(ARGS.samples, "sample-job.ps"),
                                   {ex.key(k): v for k, v in options.items()},
                                   document_format="application/vnd.cups-postscript")
        received = self.printer.wait_job(sent + 1)
        self.assertIsNotNone(received, self.cupsd.logs()[-3000:])
        self.assertEqual(self.cupsd.wait_job_state(job_id, {"completed"}), "completed")
        stamp = ex.STAMP_RE.search(received).group(1)
        self.assertEqual(received, ex.splice_into(self.job, ex.expected_splice(options, stamp)))

    def assert_readme_warning(self, result):
        warning = re.search(r"`(lpadmin: Printer drivers[^`]*)`",
                            section(readme(), "For the CUPS administrator"))
        self.assertIsNotNone(warning)
        self.assertIn(re.sub(r"\s+", " ", warning.group(1)), result.stderr.decode())

    def test_the_readme_lpadmin_line_makes_a_queue_that_prints(self):
        argv = readme_lpadmin_argv()
        self.assertNotIn("sudo", argv)
        result, queue = self.add_queue_as_the_readme_says(argv)
        self.assert_readme_warning(result)
        self.print_through(queue, {"JobType": "Locked Print", "UserID": "alice",
                                   "Password": "4711"})

    def test_lpinfo_lists_the_ppd_under_the_readme_name_and_lpadmin_takes_it(self):
        name = re.search(r"`(lsb/[^`]+\.ppd)`", section(readme(), "For the CUPS administrator"))
        self.assertIsNotNone(name)
        with open(option_value(readme_lpadmin_argv(), "-P"), encoding="latin-1") as f:
            nickname = re.search(r'(?m)^\*NickName:\s*"([^"]*)"', f.read()).group(1)
        listed = self.cupsd.client("lpinfo", "-m").stdout.decode().splitlines()
        self.assertIn(f"{name.group(1)} {nickname}", listed)
        argv = readme_lpadmin_argv()
        at = argv.index("-P")
        argv[at:at + 2] = ["-m", name.group(1)]
        argv[argv.index("-p") + 1] = "bymodel"
        self.assert_readme_warning(self.add_queue_as_the_readme_says(argv)[0])
        self.print_through("bymodel", {"JobType": "Sample Print", "UserID": "bob"})

    def test_the_needs_column_is_what_the_filter_requires(self):
        rows = needs_table()
        self.assertEqual(len(rows), 7)
        token = ex.first_token_line(self.job)
        for job_type, needs in rows:
            given = {"JobType": job_type, **{k: VALUES[k] for k in needs}}
            # (case, options, whether the filter splices)
            cases = [("just the listed options", given, True),
                     ("listed options empty", {**given, **{k: "" for k in needs}}, True)]
            cases += [(f"without {k}", {o: v for o, v in given.items() if o != k}, False)
                      for k in needs]
            for name, options, splices in cases:
                with self.subTest(job_type=job_type, case=name):
                    result = ex.run_filter(ARGS.filter, options, job=self.job)
                    if splices:
                        self.assertEqual(result.returncode, 0, result.stderr)
                        stamp = ex.STAMP_RE.search(result.stdout).group(1)
                        self.assertEqual(result.stdout, ex.splice_into(
                            self.job, ex.expected_splice(options, stamp)))
                    else:
                        self.assertEqual(result.returncode, 1)
                        self.assertEqual(result.stdout, self.job[:token])
                        self.assertIn(ex.GENERAL_MESSAGE, result.stderr)

    def test_the_copy_control_table_is_what_the_filter_reads(self):
        rows = {ticked(row["Key"])[0]: row for row in readme_table("Values")
                if ticked(row["Key"])[0].startswith("CCP")}
        self.assertEqual(len(rows), 15)
        # A pattern block writes every setting; the texts make each text type differ.
        base = {"CCPCopyControlType": "Prevention Copy Pattern", "CCPFont": "Helvetica",
                "CCPSize": "24", "CCPAngle": "45", "CCPLineSpace": "10",
                "CCPCustomText": "custom", "CCPUserName": "user", "CCPJobName": "job"}

        def output(options):
            result = ex.run_filter(ARGS.filter, options, job=self.job)
            return result.returncode, without_stamps(result.stdout)

        status, text = output(base)
        self.assertEqual(status, 0)
        self.assertIn(b"/SetMarkingType get exec", text)
        for key, row in rows.items():
            values = row["Values"]
            required = row["Required"].startswith("yes")
            # (case, options, whether the output equals that of the key left out; None: the
            #  job is refused)
            cases = [("left out", {k: v for k, v in base.items() if k != key},
                      None if required else True)]
            if "a PostScript number; anything else refuses the job" in values:
                cases.append(("not a number", {**base, key: "1 0 moveto"}, None))
            default = re.findall(r"\*\*`([^`]+)`\*\*", values)
            for value in ticked(values) if default else []:
                cases.append((value, {**base, key: value}, value == default[0]))
                if value.lower() != value:
                    cases.append((value.lower(), {**base, key: value.lower()}, True))
            reference = output(cases[0][1])
            for name, options, same in cases:
                with self.subTest(key=key, case=name):
                    status, text = output(options)
                    if same is None:
                        self.assertEqual(status, 1)
                    else:
                        self.assertEqual(status, 0)
                        self.assertEqual(text == reference[1], same)


def run_in_namespace():
    """Runs this file again where the README's PPD path holds the sample PPD; answers its exit
    status, or None when that cannot be done here."""
    import argparse
    parser = argparse.ArgumentParser()
    for name in ("filter", "samples", "readme"):
        parser.add_argument("--" + name, required=True)
    global ARGS
    ARGS, _ = parser.parse_known_args()
    ppd = option_value(readme_lpadmin_argv(), "-P")
    ppd_root = os.path.dirname(os.path.dirname(ppd))
    sample_ppd = os.path.join(ARGS.samples, "kordavine-office.ppd")
    return rerun_with_ppd_dir(__file__, ppd_root, {os.path.relpath(ppd, ppd_root): sample_ppd},
                              IN_NAMESPACE)


if __name__ == "__main__":
    if not os.environ.get(IN_NAMESPACE):
        status = run_in_namespace()
        if status is None:
            print("SKIPPED: needs root and unshare to show the PPD at the README's path")
            sys.exit(77)
        sys.exit(status)
    ex.run_unittests("filter", "samples", "readme")
