"""Jobs sent with lp through a private cupsd, its filter chain and the built jobtypefilter to a
capture backend: the printer gets the job with the job-type text that the options ask for. The
print dialogs' options, sent to queues whose PPDs declare them (the family's office and MP 2000
models), print exactly what the long names print; a refused job leaves the printer nothing and
its state message says why.

  python3 test_cups_jobs.py --filter build/Filter/jobtypefilter --samples samples
  (as root, as CI runs it; KEEP_PRIVATE_CUPSD=1 keeps the scheduler's directory for a look)
"""

import os
import re
import shutil
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "process"))
import expected_splice as ex  # noqa: E402
from private_cupsd import PrivateCupsd  # noqa: E402

ARGS = None  # set by run_unittests
CUPS_POSTSCRIPT = "application/vnd.cups-postscript"
FAMILY_PPDS = os.path.join(HERE, "..", "..", "ppd")


def full_keys(options):
    return {ex.key(name): value for name, value in options.items()}


def without_stamps(data):
    return re.sub(rb"\d{12}", b"@", data)


class JobsThroughCups(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.cupsd = PrivateCupsd(ARGS.filter)
        cls.addClassCleanup(cls.cupsd.stop)
        cls.cupsd.start()
        cls.cupsd.add_queue("office", os.path.join(ARGS.samples, "kordavine-office.ppd"))
        # Every job type and 8-digit passwords; and a model without the held and stored types.
        cls.cupsd.add_queue("full", os.path.join(FAMILY_PPDS, "kordavine-office.ppd"))
        cls.cupsd.add_queue("basic", os.path.join(FAMILY_PPDS, "kordavine-office-mp2000.ppd"))
        cls.files = tempfile.mkdtemp(prefix="cups-jobs-")
        cls.addClassCleanup(shutil.rmtree, cls.files, True)
        with open(os.path.join(ARGS.samples, "sample-job.ps"), "rb") as f:
            cls.job = f.read()

    def job_file(self, name, data=None):
        path = os.path.join(self.files, name)
        with open(path, "wb") as f:
            f.write(self.job if data is None else data)
        return path

    def print_job(self, options, name="job.ps", document_format=CUPS_POSTSCRIPT, queue="office",
                  user=None, long_names=True):
        """Sends the sample job with `options` (short names of the long keys, or as they stand);
        answers the job id and what reached the printer."""
        job_id = self.cupsd.submit(queue, self.job_file(name),
                                   full_keys(options) if long_names else options, user=user,
                                   document_format=document_format)
        captured = self.cupsd.wait_capture(queue, job_id, timeout=30)
        self.assertIsNotNone(captured, "nothing reached the printer:\n" + self.cupsd.logs()[-4000:])
        return job_id, captured

    def stamp_of(self, captured, options):
        match = ex.STAMP_RE.search(captured)
        self.assertIsNotNone(match, captured[:2000])
        stamp = match.group(1)
        # One time stamp, wherever the block writes one.
        reserved = ex.as_bytes(options.get("SpecifyTime", b""))
        self.assertEqual({s for s in ex.stamps_in(captured) if s != reserved}, {stamp})
        return stamp

    def test_each_job_type_reaches_the_printer_with_its_text(self):
        # (case, options, a piece of the text written out literally, file name)
        cases = [
            ("normal, no options", {}, b"  () () (@) {setuserinfo} stopped\ncleartomark\n\n"
             b"%%BeginProlog\n", "plain.ps"),
            ("normal with user code", {"JobType": "Normal", "UserID": "ab12",
                                       "EnableUserCode": "true", "UserCode": "007"},
             b"  (ab12) (007) (@) {setuserinfo} stopped\n", "job.ps"),
            ("sample", {"JobType": "Sample Print", "UserID": "a(b"},
             b"  (a\\(b) (@) {proofprint} stopped\n", "job.ps"),
            ("locked", {"JobType": "Locked Print", "UserID": "a(b", "Password": "0042"},
             b"  (a\\(b) (@) (0042) {secureprint} stopped\n", "Q3 (draft).ps"),
            ("document server", {"JobType": "Document Server", "UserID": "user 1",
                                 "Password": "12345678", "FileName": "Q3 (draft)"},
             b"  (user 1) (@) (12345678) (Q3 \\(draft\\)) {storedprint} stopped\n", "job.ps"),
            ("stored", {"JobType": "Saved Print", "UserID": "u", "Password": "", "FileName":
                        "back\\slash"},
             b"\t\t/Password ()\n\t\t/JobID (back\\\\slash)\n\t>>\n\t/JobAttr <<\t/Save 1\n",
             "job.ps"),
            ("store and print", {"JobType": "Save Document Print", "UserID": "u",
                                 "Password": "9999", "FileName": "it's \"quoted\""},
             b"\t\t/JobID (it's \"quoted\")\n\t>>\n\t/JobAttr <<\t/Save 2\n", "job.ps"),
            ("held", {"JobType": "Paused Print", "UserID": "u", "FileName": b"Entw\xc3\xbcrfe"},
             b"\t/JobInfo <<\t/UserID (u)\n\t\t/Time (@)\n\t\t/JobID (Entw\xc3\xbcrfe)\n",
             "job.ps"),
            ("held with reserved time", {"JobType": "Paused Print", "UserID": "u",
                                         "FileName": "f", "SpecifyTimeKeySupport": "true",
                                         "EnableSpecifyTime": "true",
                                         "SpecifyTime": "202603021200"},
             b"\t\tisGenuine not isEnhancedFeatures or {\n"
             b"\t\t/PrintReservedTime(202603021200)\n\t\t}if\n", "job.ps"),
            ("display title is no job type", {"JobType": "Hold Print", "UserID": "u"},
             b"  (u) () (@) {setuserinfo} stopped\ncleartomark\n\n%%BeginProlog\n", "job.ps"),
        ]
        for name, options, piece, file_name in cases:
            with self.subTest(name):
                job_id, captured = self.print_job(options, file_name)
                stamp = self.stamp_of(captured, options)
                self.assertIn(piece.replace(b"@", stamp), captured)
                self.assertEqual(captured,
                                 ex.splice_into(self.job, ex.expected_splice(options, stamp)))
                self.assertEqual(self.cupsd.wait_job_state(job_id, {"completed"}), "completed")

    def test_time_zone_option_reaches_the_filter(self):
        def wall_clock(hours_east):
            return time.strftime("%Y%m%d%H%M", time.gmtime(time.time() + hours_east * 3600))

        for zone, hours_east in (("JST-9", 9), ("HST10", -10)):
            with self.subTest(zone):
                options = {"JobType": "Sample Print", "UserID": "tz", "TimeZone": zone}
                before = wall_clock(hours_east).encode()
                job_id, captured = self.print_job(options)
                after = wall_clock(hours_east).encode()
                stamp = self.stamp_of(captured, options)
                self.assertTrue(before <= stamp <= after, (before, stamp, after))

    def test_plain_postscript_goes_through_pstops_then_the_filter(self):
        options = {"JobType": "Locked Print", "UserID": "a(b", "Password": "1234"}
        job_id, captured = self.print_job(options, document_format=None)
        stamp = self.stamp_of(captured, options)
        splice = ex.expected_splice(options, stamp)
        at = ex.first_token_line(captured)
        self.assertIsNotNone(at)
        self.assertEqual(captured[at - len(splice):at], splice)
        self.assertEqual(captured.count(b"{setuserinfo} stopped"), 1)
        self.assertIn(b"(Printed through the Kordavine job-type filter.) show", captured[at:])
        self.assertEqual(self.cupsd.wait_job_state(job_id, {"completed"}), "completed")

    def test_a_refused_splice_stops_the_job_with_only_the_bytes_before_the_token(self):
        # The backend runs beside the filter and passes on what the filter wrote before it
        # failed; cupsd then leaves the job stopped, with the filter's reason as its message,
        # and the queue itself stays enabled.
        cases = [
            ("locked without password", {"JobType": "Locked Print", "UserID": "u"}, "Password"),
            ("held, reserved time missing", {"JobType": "Paused Print", "UserID": "u",
                                             "FileName": "f", "SpecifyTimeKeySupport": "true",
                                             "EnableSpecifyTime": "true"}, "SpecifyTime"),
        ]
        for name, options, absent in cases:
            with self.subTest(name):
                job_id, captured = self.print_job(options)
                self.assertEqual(captured, self.job[:ex.first_token_line(self.job)])
                self.assertEqual(self.cupsd.wait_job_message(job_id, {"stopped"}),
                                 ("stopped", "missing job option " + ex.key(absent)))
                # The queue goes on with the next job.
                next_id, next_captured = self.print_job({"UserID": "next"})
                self.assertIn(b"  (next) () (", next_captured)
                self.assertEqual(self.cupsd.wait_job_state(next_id, {"completed"}), "completed")

    def test_many_refused_jobs_all_keep_the_reason_as_their_message(self):
        # cupsd handles a filter's exit apart from its error lines; when the exit comes first the
        # job's message becomes "Filter failed" for good. The filter ends only after cupsd has
        # read its lines, so every job keeps the reason (before that, about one job in ten lost
        # it on this machine).
        for queue in ("second", "third"):
            if queue not in self.cupsd.client("lpstat", "-p").stdout.decode():
                self.cupsd.add_queue(queue, os.path.join(ARGS.samples, "kordavine-office.ppd"))
        path = self.job_file("refused.ps")
        jobs = [(queue, self.cupsd.submit(queue, path, full_keys({"JobType": "Locked Print",
                                                                    "UserID": "u"}),
                                          document_format=CUPS_POSTSCRIPT))
                for _ in range(10) for queue in ("office", "second", "third")]
        messages = {job_id: self.cupsd.wait_job_message(job_id, {"stopped"}, timeout=60)
                    for _, job_id in jobs}
        self.assertEqual(set(messages.values()),
                         {("stopped", "missing job option " + ex.key("Password"))}, messages)

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
                job_id, captured = self.print_job(dialog, queue=queue, user=user, long_names=False)
                _, long_captured = self.print_job(expected, queue=queue, user=user)
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
                job_id, captured = self.print_job(options, queue=queue, long_names=False)
                self.assertEqual(captured, b"")
                self.assertEqual(self.cupsd.wait_job_message(job_id, {"stopped"}),
                                 ("stopped", reason))
                listing = self.cupsd.client("lpstat", "-l", "-o", queue).stdout.decode()
                self.assertIn(f"{queue}-{job_id} ", listing)
                self.assertIn("\tStatus: " + reason + "\n", listing)
        # The queue goes on with the next job.
        next_id, next_captured = self.print_job({"JobType": "SamplePrint"}, queue="basic",
                                                user="gina", long_names=False)
        self.assertIn(b"  (gina) (", next_captured)
        self.assertEqual(self.cupsd.wait_job_state(next_id, {"completed"}), "completed")

if __name__ == "__main__":
    ex.run_unittests("filter", "samples")
