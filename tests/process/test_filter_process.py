"""The built jobtypefilter as a process: its input and output, exit status and error line.

  python3 test_filter_process.py --filter build/Filter/jobtypefilter --samples samples
"""

import os
import signal
import subprocess
import tempfile
import time
import unittest

import expected_splice as ex

ARGS = None  # set by run_unittests
# A refused job: the reason first (CUPS shows it as the job's state message), then the general
# line with EINVAL's text.
REFUSAL = b"ERROR: %s\nERROR: ERROR: error in CUPS Filter - : Invalid argument\n"
SPLICE_TOO_LONG = b"the inserted PostScript with its values escaped is longer than its 2047 bytes"
DIALOG_PPDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ppd")


def sample_job():
    with open(os.path.join(ARGS.samples, "sample-job.ps"), "rb") as f:
        return f.read()


def with_line_ending(job, eol):
    return job.replace(b"\n", eol)


def token_at(offset, after=b"\n/F { findfont } bind def\n%%EndProlog\nshowpage\n%%EOF\n"):
    """A job whose token line starts at `offset` (a comment fills the bytes before it)."""
    head = b"%!PS-Adobe-3.0\n"
    if offset == 0:
        return ex.TOKEN + after
    filler = offset - len(head) - 1
    assert filler >= 1
    return head + b"%" * filler + b"\n" + ex.TOKEN + after


def now_stamp():
    return time.strftime("%Y%m%d%H%M").encode()


class TempDir:
    def __enter__(self):
        self.handle = tempfile.TemporaryDirectory(prefix="jobtypefilter-")
        return self.handle.name

    def __exit__(self, *exc):
        self.handle.cleanup()


def wait_until_reading_stdin(pid, timeout=20.0):
    """Waits until the process sits in read(0, ...), as /proc shows its current system call."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            with open(f"/proc/{pid}/syscall") as f:
                fields = f.read().split()
            if len(fields) > 1 and fields[0] == "0" and int(fields[1], 16) == 0:
                return True
        except (OSError, ValueError):
            pass
        time.sleep(0.02)
    return False


class SpliceThroughTheProcess(unittest.TestCase):
    """The output is the job with the expected splice before its first token line."""

    def cases(self):
        job = sample_job()
        stored = {"UserID": "u1", "Password": "0042", "FileName": "F16"}
        return [
            ("no options", {}, job, b"\n"),
            ("normal with user code", {"JobType": "Normal", "UserID": "abc",
                                       "EnableUserCode": "TRUE", "UserCode": "0815"}, job, b"\n"),
            ("user code flag not true", {"UserID": "abc", "EnableUserCode": "yes",
                                         "UserCode": "99"}, job, b"\n"),
            ("display title is no job type", {"JobType": "Hold Print", "UserID": "x",
                                              "FileName": "y"}, job, b"\n"),
            ("lower-case job type", {"JobType": "locked print", "UserID": "x",
                                     "Password": "1234"}, job, b"\n"),
            ("sample", {"JobType": "Sample Print", "UserID": "a(b"}, job, b"\n"),
            ("locked, escaped values", {"JobType": "Locked Print", "UserID": "a(b",
                                        "Password": "12\\"}, job, b"\n"),
            ("locked, empty password", {"JobType": "Locked Print", "UserID": "u",
                                        "Password": ""}, job, b"\n"),
            ("document server", {"JobType": "Document Server", "UserID": "u)",
                                 "Password": "5678", "FileName": "Q3 (draft)"}, job, b"\n"),
            ("saved", dict(stored, JobType="Saved Print"), job, b"\n"),
            ("save document", dict(stored, JobType="Save Document Print",
                                   FileName=b"Entw\xc3\xbcrfe \xff"), job, b"\n"),
            ("paused, first form", {"JobType": "Paused Print", "UserID": "u", "FileName": "f",
                                    "EnableSpecifyTime": "true"}, job, b"\n"),
            ("paused, second form", {"JobType": "Paused Print", "UserID": "u", "FileName": "f",
                                     "SpecifyTimeKeySupport": "True"}, job, b"\n"),
            ("paused, third form", {"JobType": "Paused Print", "UserID": "u", "FileName": "f",
                                    "SpecifyTimeKeySupport": "true", "EnableSpecifyTime": "TRUE",
                                    "SpecifyTime": "20260302(1200"}, job, b"\n"),
            ("CR LF job", dict(stored, JobType="Saved Print"), with_line_ending(job, b"\r\n"),
             b"\r\n"),
            ("CR job", {"JobType": "Sample Print", "UserID": "u"}, with_line_ending(job, b"\r"),
             b"\r"),
            ("token first", {"JobType": "Sample Print", "UserID": "u"}, token_at(0), b"\n"),
            ("token split across reads", {"JobType": "Sample Print", "UserID": "u"},
             token_at(4096 - 7), b"\n"),
            ("token begins the second read", {"JobType": "Sample Print", "UserID": "u"},
             token_at(4096), b"\n"),
            ("token deep in the job", {"UserID": "u"}, token_at(3 * 4096 + 100), b"\n"),
            ("two token lines", {"UserID": "u"}, job.replace(b"%%EndProlog", b"%%BeginProlog"),
             b"\n"),
        ]

    def check_output(self, options, job, eol, result, before):
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, b"")
        match = ex.STAMP_RE.search(result.stdout)
        self.assertIsNotNone(match, "no user-information call")
        stamp = match.group(1)
        self.assertTrue(before <= stamp <= now_stamp(), stamp)
        expected = ex.splice_into(job, ex.expected_splice(options, stamp, eol))
        self.assertEqual(result.stdout, expected)
        # Whatever stamp the block writes is the one of its user-information call.
        reserved = ex.as_bytes(options.get("SpecifyTime", b""))
        self.assertEqual({s for s in ex.stamps_in(result.stdout) if s != reserved}, {stamp})

    def test_stdin_and_file_input_give_the_expected_job(self):
        with TempDir() as tmp:
            for name, options, job, eol in self.cases():
                with self.subTest(name):
                    path = os.path.join(tmp, "job.ps")
                    with open(path, "wb") as f:
                        f.write(job)
                    before = now_stamp()
                    from_stdin = ex.run_filter(ARGS.filter, options, job=job)
                    self.check_output(options, job, eol, from_stdin, before)
                    from_file = ex.run_filter(ARGS.filter, options, job_file=path)
                    self.check_output(options, job, eol, from_file, before)

    def test_jobs_without_a_token_line_pass_unchanged(self):
        line = b"%%Page: 1 1\n"
        cases = [
            ("empty", b""),
            ("one read", b"x" * 4096),
            ("three reads", (line * 1100)[:3 * 4096]),
            ("ends in a token's beginning", b"%!PS\n%%Begin"),
            ("indented token", b"%!PS\n  %%BeginProlog\n"),
            ("token not at a line start", b"%!PS\nx%%BeginProlog\n"),
            ("binary", bytes(range(256)) * 40),
        ]
        for name, job in cases:
            with self.subTest(name):
                result = ex.run_filter(ARGS.filter, {"JobType": "Locked Print"}, job=job)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, b"")
                self.assertEqual(result.stdout, job)

    def test_token_text_mid_line_at_a_read_boundary_is_not_the_token_line(self):
        # A comment line whose bytes 4096-4097 are "%%" of the token text: the splice belongs
        # before the later true token line, whatever sizes the pipe delivers the job in.
        head = b"%!PS-Adobe-3.0\n%%Title: mid-line\n"
        for boundary in (4096, 2 * 4096, 3 * 4096 + 1):
            comment = b"%" + b"c" * (boundary - len(head) - 1) + ex.TOKEN + b" in a comment\n"
            job = head + comment + ex.TOKEN + b"\n/F { findfont } bind def\n%%EndProlog\n"
            self.assertEqual(job[boundary - 1:boundary + 2], b"c%%")
            for chunks in ((len(job),), (1, 4095, 4097), (7, 1000, 3, 4093), (4096, 1, 1)):
                with self.subTest(boundary=boundary, chunks=chunks):
                    result = self.run_dribbled(job, chunks)
                    self.assertEqual(result[0], 0, result[2])
                    stamp = ex.STAMP_RE.search(result[1]).group(1)
                    self.assertEqual(result[1], ex.splice_into(job, ex.expected_splice(
                        {"UserID": "u"}, stamp)))
                    self.assertEqual(result[1].index(b"\n/isEnhancedFeatures"),
                                     len(head) + len(comment))

    def run_dribbled(self, job, chunks):
        """Runs the filter with `job` written to its stdin in pieces of the given sizes (the
        last size repeats), pausing between them so that its reads end at other places."""
        argv = [ARGS.filter, "1", "u", "t", "1", ex.options_string({"UserID": "u"})]
        with subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE) as proc:
            out = []
            import threading
            reader = threading.Thread(target=lambda: out.append(proc.stdout.read()))
            reader.start()
            at, i = 0, 0
            while at < len(job):
                size = chunks[min(i, len(chunks) - 1)]
                proc.stdin.write(job[at:at + size])
                proc.stdin.flush()
                at, i = at + size, i + 1
                time.sleep(0.002)
            proc.stdin.close()
            reader.join(timeout=60)
            stderr = proc.stderr.read()
            proc.wait(timeout=60)
        return proc.returncode, out[0], stderr

    def test_whole_reads_after_the_token_are_copied(self):
        for extra in (0, 4096, 5 * 4096):
            with self.subTest(extra=extra):
                head = token_at(200, after=b"\n")
                job = head + b"%" * (4096 - len(head) - 1) + b"\n" + b"q" * extra
                self.assertEqual(len(job) % 4096, 0)
                result = ex.run_filter(ARGS.filter, {}, job=job)
                self.assertEqual(result.returncode, 0, result.stderr)
                stamp = ex.STAMP_RE.search(result.stdout).group(1)
                self.assertEqual(result.stdout, ex.splice_into(job, ex.expected_splice({}, stamp)))

    def test_time_zone_that_is_no_rule_or_zone_name_is_set_aside(self):
        # glibc opens such a TZ value as a file: a FIFO would block the filter, /dev/stdin would
        # swallow the job. The filter keeps its own zone (UTC here) and says so.
        with TempDir() as tmp:
            fifo = os.path.join(tmp, "fifo")
            os.mkfifo(fifo)
            job = sample_job()
            for zone in (fifo, "/dev/stdin", "../../../../../dev/stdin", "JST-9/../../dev/stdin",
                         ":/dev/stdin"):
                with self.subTest(zone=zone):
                    options = {"UserID": "u", "TimeZone": zone}
                    before = time.strftime("%Y%m%d%H%M", time.gmtime()).encode()
                    result = ex.run_filter(ARGS.filter, options, job=job, env={"TZ": "UTC0"},
                                           timeout=20)
                    after = time.strftime("%Y%m%d%H%M", time.gmtime()).encode()
                    self.assertEqual(result.returncode, 0, result.stderr)
                    self.assertEqual(result.stderr,
                                     b"WARNING: job option com.varlo.printsettings.TimeZone is "
                                     b"neither a POSIX TZ rule nor the name of a zone file; the "
                                     b"filter's own time zone is used\n")
                    stamp = ex.STAMP_RE.search(result.stdout).group(1)
                    self.assertTrue(before <= stamp <= after, (before, stamp, after))
                    self.assertEqual(result.stdout,
                                     ex.splice_into(job, ex.expected_splice(options, stamp)))

    def test_a_splice_that_fills_the_buffer_exactly_is_written(self):
        # The splice buffer holds 2047 bytes of text and its terminator.
        base = len(ex.expected_splice({"UserID": ""}, b"0" * 12))
        for length, accepted in ((2047, True), (2048, False)):
            with self.subTest(length=length):
                options = {"UserID": "U" * (length - base)}
                job = token_at(100)
                result = ex.run_filter(ARGS.filter, options, job=job)
                if accepted:
                    self.assertEqual(result.returncode, 0, result.stderr)
                    stamp = ex.STAMP_RE.search(result.stdout).group(1)
                    splice = ex.expected_splice(options, stamp)
                    self.assertEqual(len(splice), length)
                    self.assertEqual(result.stdout, ex.splice_into(job, splice))
                else:
                    self.assertEqual(result.returncode, 1)
                    self.assertEqual(result.stderr, REFUSAL % SPLICE_TOO_LONG)
                    self.assertEqual(result.stdout, job[:100])


class FailuresOfTheProcess(unittest.TestCase):

    def test_missing_job_file(self):
        with TempDir() as tmp:
            result = ex.run_filter(ARGS.filter, {"UserID": "u"},
                                   job_file=os.path.join(tmp, "no-such-job.ps"))
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.stderr,
                         b"ERROR: ERROR: error in CUPS Filter - : No such file or directory\n")

    def test_refused_splice_leaves_only_the_bytes_before_the_token(self):
        def missing(key):
            return f"missing job option {ex.PREFIX}{key}".encode()

        # (name, options, the reason the job is refused)
        cases = [
            ("locked without password", {"JobType": "Locked Print", "UserID": "u"},
             missing("Password")),
            ("sample without user ID", {"JobType": "Sample Print"}, missing("UserID")),
            ("document server without file name", {"JobType": "Document Server",
                                                   "UserID": "u", "Password": "1"},
             missing("FileName")),
            ("saved without password", {"JobType": "Saved Print", "UserID": "u",
                                        "FileName": "f"}, missing("Password")),
            ("held with reserved time but none given",
             {"JobType": "Paused Print", "UserID": "u", "FileName": "f",
              "SpecifyTimeKeySupport": "true", "EnableSpecifyTime": "true"},
             missing("SpecifyTime")),
            ("user code enabled but absent", {"UserID": "u", "EnableUserCode": "TRUE"},
             missing("UserCode")),
            # The absent user ID is written as empty; the absent user code stops the job.
            ("user ID and user code absent", {"EnableUserCode": "TRUE"}, missing("UserCode")),
            ("guard without font", {"UserID": "u", "CCPCopyControlType": "Copy Guard"},
             missing("CCPFont")),
            ("splice larger than its buffer", {"JobType": "Saved Print", "UserID": "(" * 700,
                                               "Password": "1", "FileName": "f"},
             SPLICE_TOO_LONG),
        ]
        for offset in (0, 300, 2 * 4096 + 5):
            job = token_at(offset)
            for name, options, reason in cases:
                with self.subTest(name, offset=offset):
                    result = ex.run_filter(ARGS.filter, options, job=job)
                    self.assertEqual(result.returncode, 1)
                    self.assertEqual(result.stderr, REFUSAL % reason)
                    self.assertEqual(result.stdout, job[:offset])

    def test_options_refused_before_any_of_the_job_is_written(self):
        # A key in another letter case would pass libcups' lookup but not the scheduler policy's
        # exact names; the dialog options are checked as the panel checks its entries.
        basic = os.path.join(DIALOG_PPDS, "kordavine-office-mp2000.ppd")
        cases = [
            (b"COM.VARLO.PRINTSETTINGS.PASSWORD=11112222 "
             b"com.varlo.printsettings.JobType='Locked Print' com.varlo.printsettings.UserID=u",
             None, b"Job option COM.VARLO.PRINTSETTINGS.PASSWORD differs from "
                   b"com.varlo.printsettings.Password only in letter case; use the exact name"),
            (b"JobType=LockedPrint UserID=Custom.alice", basic,
             b"Locked Print needs a password of 4 digits"),
            (b"job-password=1234 job-password-encryption=sha2-256", basic,
             b"The PIN (job-password) must come unencrypted (job-password-encryption none): "
             b"the printer checks it itself"),
        ]
        for options, ppd, reason in cases:
            with self.subTest(options=options):
                env = {"PPD": ppd} if ppd else {}
                result = ex.run_filter(ARGS.filter, options, job=token_at(0), env=env,
                                       user="alice")
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr, REFUSAL % reason)
                self.assertEqual(result.stdout, b"")

    def test_a_failed_job_waits_until_its_error_lines_are_read(self):
        # cupsd takes a filter's exit apart from its error lines; the filter ends only once the
        # pipe holds none of them (or after five seconds), so that the lines count.
        argv = [ARGS.filter, "1", "u", "t", "1", b"password=1"]
        with subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE) as proc:
            try:
                time.sleep(1.0)
                self.assertIsNone(proc.poll(), "ended before its error lines were read")
                lines = proc.stderr.read()
                self.assertEqual(proc.wait(timeout=2), 1)
            finally:
                if proc.poll() is None:
                    proc.kill()
        self.assertTrue(lines.startswith(b"ERROR: Job option password differs"), lines)
        with TempDir() as tmp:
            # Standard error in a file: nothing to wait for.
            with open(os.path.join(tmp, "stderr"), "wb") as log:
                started = time.monotonic()
                result = ex.run_filter(ARGS.filter, b"password=1", job=b"", stderr=log)
                self.assertLess(time.monotonic() - started, 1.0)
        self.assertEqual(result.returncode, 1)

    def test_output_that_cannot_be_flushed(self):
        # The job fits in the output buffer, so only the final flush meets the full device.
        with open("/dev/full", "wb") as full:
            result = ex.run_filter(ARGS.filter, {}, job=sample_job(), stdout=full)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr,
                         b"ERROR: ERROR: error in CUPS Filter - : No space left on device\n")

    def test_reader_that_goes_away(self):
        with TempDir() as tmp:
            path = os.path.join(tmp, "big.ps")
            with open(path, "wb") as f:
                f.write(sample_job() + b"%" * 4_000_000 + b"\n")
            argv = [ARGS.filter, "1", "u", "t", "1", b"", path]
            with subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE) as proc:
                try:
                    self.assertEqual(len(proc.stdout.read(64)), 64)
                    proc.stdout.close()
                    stderr = proc.stderr.read()
                    status = proc.wait(timeout=60)
                finally:
                    if proc.poll() is None:
                        proc.kill()
        self.assertEqual(status, 1)
        self.assertEqual(stderr, b"ERROR: ERROR: error in CUPS Filter - : Broken pipe\n")

    def test_terminate_while_waiting_for_input(self):
        for name, sent in (("silent input", b""), ("part of a job", token_at(300)[:500])):
            with self.subTest(name):
                argv = [ARGS.filter, "1", "u", "t", "1", ex.options_string({"UserID": "u"})]
                with subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      stderr=subprocess.PIPE) as proc:
                    try:
                        if sent:
                            proc.stdin.write(sent)
                            proc.stdin.flush()
                        self.assertTrue(wait_until_reading_stdin(proc.pid), "never read stdin")
                        proc.send_signal(signal.SIGTERM)
                        stdout, stderr = proc.communicate(timeout=20)
                    finally:
                        if proc.poll() is None:
                            proc.kill()
                self.assertEqual(proc.returncode, 1)
                self.assertEqual(stderr, b"")
                if not sent:
                    self.assertEqual(stdout, b"")


if __name__ == "__main__":
    ex.run_unittests("filter", "samples")
