"""The job password and user code through a private cupsd with Debian's stock policies and
authentication settings. Until kordavine-cupsd-policy enable, every local user reads them with
Get-Jobs and Get-Job-Attributes, whatever name they send, another user who sends the owner's
name turns a held Locked Print into a Normal one, and a failed job leaves them in error_log.
Once enabled, cupsd believes only the user a client proves to be (through the domain socket's
peer credentials); the owner's lpstat, lpq, GTK's job tracking and the web interface's Jobs page
(once logged in) keep working. disable brings the stock behaviour back.

Clients run as the real accounts daemon (the owner) and nobody (another user), so the test needs
root; what they run is copied into the scheduler's directory, which they can reach.

  python3 test_job_secrecy.py --tool Filter/cupsd/kordavine-cupsd-policy \\
      --filter build/Filter/jobtypefilter --samples samples
"""

import base64
import json
import os
import pwd
import re
import shutil
import struct
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
SYSTEM_PYTHON = "/usr/bin/python3"  # other users cannot reach a Python under root's home
OWNER, OTHER = "daemon", "nobody"  # accounts of every Debian system
PRINTED = {"JobType": "Locked Print", "UserID": "alice", "Password": "73918264",
           "EnableUserCode": "true", "UserCode": "55501234"}
# Refused by the filter: the user code is enabled but missing.
FAILED = {"JobType": "Locked Print", "UserID": "alice", "Password": "64829137",
          "EnableUserCode": "true"}
# What print dialogs, lp and IPP clients send: the PPD's options and the accounting attributes.
DIALOG = {"JobType": "LockedPrint", "UserID": "Custom.alice", "Password": "Custom.4711",
          "UserCode": "Custom.2468", "job-account-id": "1357", "job-billing": "8642"}
SECRETS = [PRINTED["Password"], PRINTED["UserCode"], FAILED["Password"], "4711", "2468",
           "1357", "8642"]
CUPS_POSTSCRIPT = "application/vnd.cups-postscript"

# Sends the requests on stdin, JSON [[method, path, body in base64], ...], to the scheduler's
# socket argv[1], offering the socket's peer credentials as argv[2] unless it is "-". Prints
# [[HTTP status, body in base64], ...].
CLIENT = r"""
import base64, http.client, json, socket, sys
answers = []
for method, path, body in json.load(sys.stdin):
    connection = http.client.HTTPConnection("localhost")
    connection.sock = socket.socket(socket.AF_UNIX)
    connection.sock.connect(sys.argv[1])
    headers = {"Content-Type": "application/ipp"}
    if sys.argv[2] != "-":
        headers["Authorization"] = "PeerCred " + sys.argv[2]
    connection.request(method, path, base64.b64decode(body), headers)
    response = connection.getresponse()
    answers.append([response.status, base64.b64encode(response.read()).decode()])
print(json.dumps(answers))
"""


def ipp_request(operation, user, attributes, job_attributes=()):
    """An IPP request naming `user` as requesting-user-name, with (tag, name, value) triples in
    the operation group and, if given, the job group."""
    def encode(tag, name, value):
        return (struct.pack(">BH", tag, len(name)) + name.encode() + struct.pack(">H", len(value))
                + value.encode())
    body = struct.pack(">BBHI", 2, 0, operation, 1) + b"\x01" + b"".join(encode(*a) for a in (
        (0x47, "attributes-charset", "utf-8"), (0x48, "attributes-natural-language", "en"),
        *attributes, (0x42, "requesting-user-name", user)))
    if job_attributes:
        body += b"\x02" + b"".join(encode(*a) for a in job_attributes)
    return body + b"\x03"


def stock_policies():
    with open(STOCK_CONF) as f:
        return "".join(re.findall(r"(?ms)^<Policy .*?^</Policy>\n", f.read()))


def full(options):
    """Job options under their long names."""
    return {ex.key(k): v for k, v in options.items()}


def needs():
    if os.geteuid() != 0:
        return "needs root to run the clients as other local users"
    if not os.access(SYSTEM_PYTHON, os.X_OK):
        return f"needs {SYSTEM_PYTHON} for the clients of other users"
    return None


class JobSecrecy(unittest.TestCase):

    def run_scheduler(self, commands, log_level="warn", filters=()):
        def configure(conf):
            # Debian's authentication settings and web interface.
            with open(conf) as f:
                text = f.read().replace("DefaultAuthType None", "DefaultAuthType Basic")
            with open(conf, "w") as f:
                f.write(text.replace("WebInterface No", "WebInterface Yes"))
            shutil.copytree("/usr/lib/cups/cgi-bin",
                            os.path.join(os.path.dirname(conf), "serverbin", "cgi-bin"))
            for command in commands:
                subprocess.run([ARGS.tool, command, conf], check=True, capture_output=True)

        cupsd = PrivateCupsd(ARGS.filter, log_level=log_level, policies=stock_policies(),
                             configure=configure, authenticate=True, filters=filters)
        self.addCleanup(cupsd.stop)
        cupsd.start()
        cupsd.add_queue("office", os.path.join(ARGS.samples, "kordavine-office.ppd"))
        with open(cupsd.path("client.py"), "w") as f:
            f.write(CLIENT)
        return cupsd

    def as_user(self, cupsd, user, *argv, env=None, stdin=b""):
        account = pwd.getpwnam(user)
        return subprocess.run(list(argv), capture_output=True, env=env or cupsd.client_env,
                              user=account.pw_uid, group=account.pw_gid, extra_groups=[],
                              input=stdin, timeout=120)

    def send(self, cupsd, user, peer, requests):
        """[(HTTP status, body)] of `requests`, [(method, path, body)], sent by `user` with the
        peer credentials of `peer` (none when None)."""
        result = self.as_user(
            cupsd, user, SYSTEM_PYTHON, cupsd.path("client.py"), cupsd.socket_path, peer or "-",
            stdin=json.dumps([[method, path, base64.b64encode(body).decode()]
                              for method, path, body in requests]).encode())
        self.assertEqual(result.returncode, 0, result.stderr)
        return [(status, base64.b64decode(body)) for status, body in json.loads(result.stdout)]

    def answers(self, cupsd, user, name, peer, jobs):
        """{"Get-Jobs" or job id: (HTTP status, body)}: Get-Jobs on the queue and
        Get-Job-Attributes of each job, naming `name` as requesting-user-name."""
        every = (0x44, "requested-attributes", "all")
        asked = {"Get-Jobs": ipp_request(0x000A, name, [
            (0x45, "printer-uri", "ipp://localhost/printers/office"), (0x44, "which-jobs", "all"),
            every])}
        for job in jobs:
            asked[str(job)] = ipp_request(0x0009, name, [
                (0x45, "job-uri", f"ipp://localhost/jobs/{job}"), every])
        return dict(zip(asked, self.send(cupsd, user, peer,
                                         [("POST", "/", body) for body in asked.values()])))

    def print_jobs(self, cupsd):
        job = os.path.join(ARGS.samples, "sample-job.ps")
        # As CUPS PostScript the job goes to the filter unchanged (no pstops before it).
        jobs = [cupsd.submit("office", job, options, user=OWNER, document_format=CUPS_POSTSCRIPT)
                for options in (full(PRINTED), full(FAILED), DIALOG)]
        captured = cupsd.wait_capture("office", jobs[0])
        self.assertIsNotNone(captured, cupsd.logs()[-3000:])
        self.assertEqual(cupsd.wait_job_state(jobs[0], {"completed"}), "completed")
        self.assertEqual(cupsd.wait_job_state(jobs[1], {"stopped"}), "stopped")
        self.assertIn(cupsd.wait_job_state(jobs[2], {"completed", "stopped", "aborted"}),
                      ("completed", "stopped", "aborted"))
        return jobs, captured

    def test_only_who_proves_to_be_the_owner_or_root_sees_the_secrets(self):
        # (case, tool commands run on cupsd.conf before cupsd starts, policy in force)
        cases = [
            ("stock policies", [], False),
            ("enabled", ["enable"], True),
            ("enabled twice", ["enable", "enable"], True),
            ("enabled, then disabled", ["enable", "disable"], False),
        ]
        # (client, who runs it, requesting-user-name, peer credentials it offers, what it gets
        #  with the policy: "all", "others" (the jobs without the secrets) or "nothing")
        clients = [
            ("the owner", OWNER, OWNER, OWNER, "all"),
            ("root", "root", "root", "root", "all"),
            ("another user as themselves", OTHER, OWNER, OTHER, "others"),
            ("another user sending the owner's name", OTHER, OWNER, None, "nothing"),
            ("another user sending root's name", OTHER, "root", None, "nothing"),
            ("another user claiming the owner's credentials", OTHER, OWNER, OWNER, "nothing"),
            ("the owner without credentials", OWNER, OWNER, None, "nothing"),
        ]
        sample = os.path.join(ARGS.samples, "sample-job.ps")
        with open(sample, "rb") as f:
            job = f.read()
        for name, commands, private in cases:
            with self.subTest(name):
                cupsd = self.run_scheduler(commands)
                jobs, captured = self.print_jobs(cupsd)

                # The owner's job prints with the password and user code in its splice.
                stamp = ex.STAMP_RE.search(captured).group(1)
                self.assertEqual(captured,
                                 ex.splice_into(job, ex.expected_splice(PRINTED, stamp)))

                # Get-Jobs leaves out the options of a stopped job once cupsd has put its
                # attributes away (within a second): its own answer shows them.
                job_secrets = {"Get-Jobs": SECRETS[:2] + SECRETS[3:], str(jobs[0]): SECRETS[:2],
                               str(jobs[1]): SECRETS[2:3], str(jobs[2]): SECRETS[3:]}
                for client, user, requester, peer, gets in clients:
                    gets = gets if private else "all"
                    for asked, (status, body) in self.answers(cupsd, user, requester, peer,
                                                              jobs).items():
                        where = (client, asked)
                        self.assertEqual(status, 401 if gets == "nothing" else 200, where)
                        self.assertEqual(b"job-id" in body, gets != "nothing", where)
                        # The secrets, and the attributes that carry them (their names end in
                        # Password or UserCode).
                        shown = [s for s in SECRETS + ["Password"] if ex.as_bytes(s) in body]
                        if gets == "all":
                            self.assertLessEqual(set(job_secrets[asked]), set(shown), where)
                        else:
                            self.assertEqual(shown, [], where)

                # lpstat and lpq, as the owner, list the owner's jobs; another user cannot list
                # them under the owner's name once names need proof.
                ids = [f"office-{job}" for job in jobs]
                for user, argv, listed, unlisted in [
                        (OWNER, ["lpstat", "-W", "all", "-o", "office"], ids, []),
                        (OWNER, ["lpstat", "-W", "completed", "-o"], ids[:1], ids[1:2]),
                        (OWNER, ["lpq", "-P", "office"], [f"{OWNER} {jobs[1]} "], []),
                        (OTHER, ["lpstat", "-U", OWNER, "-W", "all", "-o"],
                         [] if private else ids, ids if private else [])]:
                    result = self.as_user(cupsd, user, shutil.which(argv[0]), *argv[1:])
                    out = re.sub(r"[ \t]+", " ", result.stdout.decode())
                    where = (argv, out, result.stderr)
                    for job_id in listed:
                        self.assertIn(job_id, out, where)
                    for job_id in unlisted:
                        self.assertNotIn(job_id + " ", out, where)

                # The web interface's Jobs page: a visitor who has not logged in is asked to;
                # the owner, logged in, sees the jobs.
                for peer, status in ((None, 401 if private else 200), (OWNER, 200)):
                    [(page_status, page)] = self.send(cupsd, peer or OTHER, peer,
                                                      [("GET", "/jobs/?which_jobs=all", b"")])
                    self.assertEqual(page_status, status, peer)
                    self.assertEqual(
                        re.findall(rb'HREF="/printers/office">office</A>-(\d+)', page),
                        [b"%d" % j for j in jobs] if status == 200 else [], peer)

                # The failed job's debug history carries the filter's argv into error_log.
                with open(cupsd.path("log", "error_log"), "rb") as f:
                    error_log = f.read()
                self.assertIn(b"[Job %d]" % jobs[1], error_log)
                self.assertEqual(ex.as_bytes(FAILED["Password"]) not in error_log, private)

                # Another user who sends the owner's name must not turn a held Locked Print into
                # a Normal one, which the printer would print at once for anyone to take.
                held = cupsd.submit("office", sample,
                                    dict(full(PRINTED), **{"job-hold-until": "indefinite"}),
                                    user=OWNER, document_format=CUPS_POSTSCRIPT)
                self.assertEqual(cupsd.wait_job_state(held, {"held"}), "held")
                [(changed, _)] = self.send(cupsd, OTHER, None, [("POST", "/", ipp_request(
                    0x0014, OWNER, [(0x45, "job-uri", f"ipp://localhost/jobs/{held}")],
                    [(0x41, ex.key("JobType"), "Normal")]))])
                self.assertEqual(changed, 401 if private else 200)
                released = self.as_user(cupsd, OWNER, shutil.which("lp"), "-i", f"office-{held}",
                                        "-H", "resume")
                self.assertEqual(released.returncode, 0, released.stderr)
                captured = cupsd.wait_capture("office", held)
                self.assertIsNotNone(captured, cupsd.logs()[-3000:])
                self.assertEqual(b"{secureprint}" in captured, private)
                cupsd.stop()

    def test_gtk_tracks_the_owners_job_under_the_policy(self):
        """A GTK application that prints follows its job's state with Get-Job-Attributes; under
        the policy GTK authenticates through the peer credentials without asking."""
        missing = [what for what, present in (
            ("xvfb-run", shutil.which("xvfb-run")),
            ("GTK 3 for Python", subprocess.run(
                [SYSTEM_PYTHON, "-c", "import gi; gi.require_version('Gtk', '3.0')"],
                capture_output=True).returncode == 0),
            ("pdftops", os.path.exists("/usr/lib/cups/filter/pdftops"))) if not present]
        if missing:
            self.skipTest("needs " + ", ".join(missing))
        # GTK prints PDF: the queue converts it as Debian's filters do.
        cupsd = self.run_scheduler(["enable"], log_level="debug", filters=("pdftopdf", "pdftops"))
        app = shutil.copy(os.path.join(here, "..", "gtk", "gtk_print_app.py"), cupsd.path())
        home = cupsd.path("home")
        os.mkdir(home)
        shutil.chown(home, OWNER)
        result = self.as_user(cupsd, OWNER, shutil.which("xvfb-run"), "-a", SYSTEM_PYTHON, app,
                              "tracked", "office", *(f"{k}={v}" for k, v in full(PRINTED).items()),
                              env=dict(cupsd.client_env, HOME=home, XDG_RUNTIME_DIR=home,
                                       TMPDIR=home))
        states = result.stdout.decode().split()
        self.assertEqual(states[-1:], ["finished"], result.stderr.decode()[-2000:])
        self.assertTrue({"pending", "printing"} & set(states), states)
        captured = cupsd.wait_capture("office", 1)
        self.assertIn(ex.as_bytes(PRINTED["Password"]), captured)
        with open(cupsd.path("log", "error_log"), "rb") as f:
            log = f.read()
        self.assertIn(b"Returning HTTP Unauthorized for Get-Job-Attributes", log)
        self.assertIn(b"Authorized as daemon using PeerCred", log)


if __name__ == "__main__":
    ex.run_unittests("tool", "filter", "samples", skip_reason=needs)
