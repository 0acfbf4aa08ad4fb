"""The print dialogs' options sent with lp through a private cupsd to queues whose PPDs declare
them (the family's office and MP 2000 models): each form prints exactly what the long names print, and each refusal
leaves the printer nothing while the job's state message says why.

  python3 test_dialog_options.py --filter build/Filter/jobtypefilter --samples samples
"""

import os
import re
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "process"))
import expected_splice as ex  # noqa: E402
from private_cupsd import PrivateCupsd  # noqa: E402

ARGS = None  # set by run_unittests
CUPS_POSTSCRIPT = "application/vnd.cups-postscript"
FAMILY_PPDS = os.path.join(HERE, "..", "..", "ppd")


def long_names(options):
    return {ex.key(name): value for name, value in options.items()}


def without_stamps(data):
    return re.sub(rb"\d{12}", b"@", data)


class DialogOptionsThroughCups(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.cupsd = PrivateCupsd(ARGS.filter)
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        # Every job type and 8-digit passwords; and a model without the held and stored types.
        cls.cupsd.add_queue("full", os.path.join(FAMILY_PPDS, "kordavine-office.ppd"))
        cls.cupsd.add_queue("basic", os.path.join(FAMILY_PPDS, "kordavine-office-mp2000.ppd"))
        cls.job_path = os.path.join(ARGS.samples, "sample-job.ps")
        with open(cls.job_path, "rb") as f:
            cls.job = f.read()

    def print_job(self, queue, options, user=None):
        job_id = self.cupsd.submit(queue, self.job_path, options, user=user,
                                   document_format=CUPS_POSTSCRIPT)
        captured = self.cupsd.wait_capture(queue, job_id, timeout=30)
        self.assertIsNotNone(captured, "nothing reached the backend:\n" + self.cupsd.logs()[-4000:])
        return job_id, captured

    def test_each_form_prints_what_the_long_names_print(self):
        # (form, queue, job's user, dialog options, the long names they stand for)
        cases = [
            ("Custom. values", "full", "root",
             {"JobType": "LockedPrint", "UserID": "Custom.alice", "Password": "Custom.12345678"},
             {"JobType": "Locked Print", "UserID": "alice", "Password": "12345678"}),
            ("plain values", "full", "root",
             {"JobType": "PausedPrint", "UserID": "bob", "FileName": "report"},
             {"JobType": "Paused Print", "UserID": "bob", "FileName": "report"}),
            # GTK sends every option, None where nothing was chosen.
            ("None", "full", "root",
             {"JobType": "SavedPrint", "UserID": "Custom.carol", "Password": "None",
              "FileName": "None", "UserCode": "None"},
             {"JobType": "Saved Print", "UserID": "carol", "Password": "", "FileName": ""}),
            ("noX", "basic", "root",
             {"JobType": "SamplePrint", "UserID": "dave", "UserCode": "0815",
              "nocom.varlo.printsettings.EnableUserCode": None},
             {"JobType": "Sample Print", "UserID": "dave", "UserCode": "0815",
              "EnableUserCode": "false"}),
            ("job-password", "basic", "erin", {"job-password": "4321"},
             {"JobType": "Locked Print", "UserID": "erin", "Password": "4321"}),
            ("job-account-id", "full", "root",
             {"JobType": "Normal", "UserID": "None", "job-account-id": "4711"},
             {"JobType": "Normal", "UserID": "", "UserCode": "4711", "EnableUserCode": "true"}),
            ("job-billing", "full", "root", {"job-billing": "0042"},
             {"UserCode": "0042", "EnableUserCode": "true"}),
            ("job-billing with spaces is no user code", "full", "root",
             {"job-billing": "Dept 42", "UserID": "frank"}, {"UserID": "frank"}),
        ]
        for form, queue, user, dialog, expected in cases:
            with self.subTest(form):
                job_id, captured = self.print_job(queue, dialog, user=user)
                long_id, long_captured = self.print_job(queue, long_names(expected), user=user)
                self.assertEqual(without_stamps(captured), without_stamps(long_captured))
                stamp = ex.STAMP_RE.search(captured).group(1)
                self.assertEqual(captured,
                                 ex.splice_into(self.job, ex.expected_splice(expected, stamp)))
                self.assertEqual(self.cupsd.wait_job_state(job_id, {"completed"}), "completed")

    def test_each_refusal_leaves_nothing_and_says_why(self):
        cases = [
            ("basic", {"JobType": "LockedPrint", "UserID": "Custom.alice"},
             "Locked Print needs a password of 4 digits"),
            ("full", {"job-password": "12"}, "Locked Print needs a password of 4 to 8 digits"),
            ("basic", {"JobType": "PausedPrint", "UserID": "bob"},
             "This printer does not offer Hold Print (JobType=PausedPrint)"),
            ("full", {"JobType": "SamplePrint", "UserID": "Custom.al ice"},
             "Sample Print needs a user ID of 1 to 8 letters and digits"),
            ("full", {"JobType": "PausedPrint", "UserID": "bob", "FileName": "my report"},
             "The file name must be up to 16 letters and digits"),
            ("full", {"noUserCode": None}, "The user code must be up to 8 digits"),
            ("full", {"job-password": "4321", "job-password-encryption": "md5"},
             "The PIN (job-password) must come unencrypted (job-password-encryption none): "
             "the printer checks it itself"),
            # A name the scheduler policy does not hide is never read as the password.
            ("full", {"JobType": "LockedPrint", "password": "1234"},
             "Job option password differs from Password only in letter case; use the exact name"),
            ("full", {"COM.VARLO.PRINTSETTINGS.PASSWORD": "11112222",
                      ex.key("JobType"): "Locked Print", ex.key("UserID"): "u"},
             "Job option COM.VARLO.PRINTSETTINGS.PASSWORD differs from "
             "com.varlo.printsettings.Password only in letter case; use the exact name"),
        ]
        for queue, options, reason in cases:
            with self.subTest(reason):
                job_id, captured = self.print_job(queue, options)
                self.assertEqual(captured, b"")
                self.assertEqual(self.cupsd.wait_job_message(job_id, {"stopped"}),
                                 ("stopped", reason))
                listing = self.cupsd.client("lpstat", "-l", "-o", queue).stdout.decode()
                self.assertIn(f"{queue}-{job_id} ", listing)
                self.assertIn("\tStatus: " + reason + "\n", listing)
        # The queue goes on with the next job.
        next_id, next_captured = self.print_job("basic", {"JobType": "SamplePrint"}, user="gina")
        self.assertIn(b"  (gina) (", next_captured)
        self.assertEqual(self.cupsd.wait_job_state(next_id, {"completed"}), "completed")


if __name__ == "__main__":
    ex.run_unittests("filter", "samples")
