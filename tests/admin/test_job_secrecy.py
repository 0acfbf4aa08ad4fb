"""The job password and user code through a private cupsd with Debian's stock policies: other
users read them with Get-Jobs and Get-Job-Attributes, and a failed job leaves them in error_log,
until kordavine-cupsd-policy enable; then only the owner sees them, and the owner's job still
reaches the printer with them in its splice. disable brings the stock behaviour back.

  python3 test_job_secrecy.py --tool Filter/cupsd/kordavine-cupsd-policy \\
      --filter build/Filter/jobtypefilter --samples samples
"""

import os
import re
import subprocess
import sys
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "process"))
sys.path.insert(0, os.path.join(here, "..", "cups"))
import expected_splice as ex  # noqa: E402
from private_cupsd import PrivateCupsd  # noqa: E402

ARGS = None
STOCK_CONF = "/usr/share/cups/cupsd.conf.default"
OWNER, OTHER = "alice", "mallory"
PRINTED = {"JobType": "Locked Print", "UserID": "alice", "Password": "73918264",
           "EnableUserCode": "true", "UserCode": "55501234"}
# Refused by the filter: the user code is enabled but missing.
FAILED = {"JobType": "Locked Print", "UserID": "alice", "Password": "64829137",
          "EnableUserCode": "true"}
CUPS_POSTSCRIPT = "application/vnd.cups-postscript"
GET_JOB_ATTRIBUTES, GET_JOBS = 0x0009, 0x000A


def stock_policies():
    with open(STOCK_CONF) as f:
        return "".join(re.findall(r"(?ms)^<Policy .*?^</Policy>\n", f.read()))


class JobSecrecy(unittest.TestCase):

    def run_scheduler(self, commands):
        def configure(conf):
            for command in commands:
                subprocess.run([ARGS.tool, command, conf], check=True, capture_output=True)

        # Debian's LogLevel: the failed job's log is its debug history alone.
        cupsd = PrivateCupsd(ARGS.filter, log_level="warn", policies=stock_policies(),
                             configure=configure)
        self.addCleanup(cupsd.stop)
        cupsd.start()
        cupsd.add_queue("office", os.path.join(ARGS.samples, "kordavine-office.ppd"))
        return cupsd

    def print_both(self, cupsd):
        job = os.path.join(ARGS.samples, "sample-job.ps")
        full = lambda options: {ex.key(k): v for k, v in options.items()}  # noqa: E731
        # As CUPS PostScript the job goes to the filter unchanged (no pstops before it).
        printed = cupsd.submit("office", job, full(PRINTED), user=OWNER,
                               document_format=CUPS_POSTSCRIPT)
        failed = cupsd.submit("office", job, full(FAILED), user=OWNER,
                              document_format=CUPS_POSTSCRIPT)
        captured = cupsd.wait_capture("office", printed)
        self.assertIsNotNone(captured, cupsd.logs()[-3000:])
        self.assertEqual(cupsd.wait_job_state(printed, {"completed"}), "completed")
        self.assertEqual(cupsd.wait_job_state(failed, {"stopped"}), "stopped")
        return printed, failed, captured

    def answers(self, cupsd, user, printed, failed):
        """What `user` gets back: Get-Jobs over the queue's finished and stopped jobs, and
        Get-Job-Attributes of each job, as raw bytes."""
        asked = [(0x42, "requesting-user-name", user), (0x44, "requested-attributes", "all")]
        jobs = cupsd.ipp_response(GET_JOBS, [(0x45, "printer-uri",
                                              "ipp://localhost/printers/office"),
                                             (0x44, "which-jobs", "all"), *asked])
        one = {job: cupsd.ipp_response(GET_JOB_ATTRIBUTES, [
            (0x45, "job-uri", f"ipp://localhost/jobs/{job}"), *asked]) for job in (printed, failed)}
        return jobs, one

    def test_other_users_see_the_password_only_without_the_policy(self):
        # (case, tool commands run on cupsd.conf before cupsd starts, private from others)
        cases = [
            ("stock policies", [], False),
            ("enabled", ["enable"], True),
            ("enabled twice", ["enable", "enable"], True),
            ("enabled, then disabled", ["enable", "disable"], False),
        ]
        secrets = [ex.as_bytes(PRINTED["Password"]), ex.as_bytes(PRINTED["UserCode"])]
        for name, commands, private in cases:
            with self.subTest(name):
                cupsd = self.run_scheduler(commands)
                printed, failed, captured = self.print_both(cupsd)

                # The owner's job prints with the password and user code in its splice.
                with open(os.path.join(ARGS.samples, "sample-job.ps"), "rb") as f:
                    job = f.read()
                stamp = ex.STAMP_RE.search(captured).group(1)
                self.assertEqual(captured,
                                 ex.splice_into(job, ex.expected_splice(PRINTED, stamp)))

                for user, hidden in ((OTHER, private), (OWNER, False)):
                    jobs, one = self.answers(cupsd, user, printed, failed)
                    self.assertIn(b"job-id", jobs)
                    for secret in secrets:
                        self.assertEqual(secret not in jobs, hidden, (user, secret))
                        self.assertEqual(secret not in one[printed], hidden, (user, secret))
                    self.assertEqual(b"Password" not in one[printed], hidden, user)
                    self.assertEqual(ex.as_bytes(FAILED["Password"]) not in one[failed],
                                     hidden, user)

                # The failed job's debug history carries the filter's argv into error_log.
                with open(cupsd.path("log", "error_log"), "rb") as f:
                    error_log = f.read()
                self.assertIn(b"[Job %d]" % failed, error_log)
                self.assertEqual(ex.as_bytes(FAILED["Password"]) not in error_log, private)
                cupsd.stop()


if __name__ == "__main__":
    ex.run_unittests("tool", "filter", "samples")
