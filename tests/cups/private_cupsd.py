"""A private CUPS scheduler for tests: its own configuration, spool, logs and ServerBin in a
temporary directory, listening only on a Unix socket there. Jobs go through the real cupsd and
its filter chain (with the built jobtypefilter) to a capture backend that keeps each job's bytes.

Needs the Debian packages cups-daemon, cups-client and cups-core-drivers (pstops, mime.convs).
As root (as in CI) cupsd runs filters and backends as User lp; otherwise as the calling user.

    from private_cupsd import PrivateCupsd

    with PrivateCupsd("build/Filter/jobtypefilter") as cupsd:        # start() ... stop()
        cupsd.add_queue("office", "samples/kordavine-office.ppd")
        job = cupsd.submit("office", "samples/sample-job.ps",
                           {"com.varlo.printsettings.JobType": "Locked Print", ...})
        data = cupsd.wait_capture("office", job)   # the bytes the printer would get
        cupsd.job_attributes(job)["job-state"]     # e.g. [9] (completed)

Clients of your own (lp, lpstat) reach it with the environment in `cupsd.client_env`
(CUPS_SERVER=<dir>/cups.sock). The temporary directory is removed by stop(), unless the
environment variable KEEP_PRIVATE_CUPSD is set (then its path is printed).
"""

import ctypes
import http.client
import os
import pwd
import grp
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

CUPSD = shutil.which("cupsd", path="/usr/sbin:/sbin:" + os.environ.get("PATH", "")) or "cupsd"
SYSTEM_SERVERBIN = "/usr/lib/cups"
JOB_STATES = {3: "pending", 4: "held", 5: "processing", 6: "stopped", 7: "canceled",
              8: "aborted", 9: "completed"}

# Copies what it is given (stdin, or the file of argument 6) to <dir>/job-<id>.ps, with the job
# options beside it in job-<id>.options; the data file appears at once, by rename.
CAPTURE_BACKEND = r"""#!/bin/sh
# capture backend: DEVICE_URI is capture:<directory>
if [ $# -eq 0 ]; then
  echo 'direct capture "Unknown" "Capture to a file (tests)"'
  exit 0
fi
dir=${DEVICE_URI#capture:}
tmp="$dir/.job-$1.part"
if [ $# -ge 6 ]; then
  cat "$6" > "$tmp" || exit 1
else
  cat > "$tmp" || exit 1
fi
printf '%s' "$5" > "$dir/job-$1.options" || exit 1
mv "$tmp" "$dir/job-$1.ps" || exit 1
exit 0
"""


# Lets anyone do and see everything: the tests' own jobs need no authentication.
PERMISSIVE_POLICY = """<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
"""


class UnixHTTPConnection(http.client.HTTPConnection):
    def __init__(self, path, timeout=10):
        super().__init__("localhost", timeout=timeout)
        self.socket_path = path

    def connect(self):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(self.timeout)
        self.sock.connect(self.socket_path)


def _ipp_attribute(tag, name, value):
    data = value if isinstance(value, bytes) else value.encode()
    return struct.pack(">BH", tag, len(name)) + name.encode() + struct.pack(">H", len(data)) + data


def _parse_ipp_response(body):
    """(status, {name: [values]}) of an IPP response; integers and enums as int, the rest as
    text."""
    status = struct.unpack(">H", body[2:4])[0]
    attributes, at, name = {}, 8, None
    while at < len(body):
        tag = body[at]
        at += 1
        if tag == 0x03:
            break
        if tag < 0x10:
            continue
        name_length = struct.unpack(">H", body[at:at + 2])[0]
        at += 2
        if name_length:
            name = body[at:at + name_length].decode()
        at += name_length
        value_length = struct.unpack(">H", body[at:at + 2])[0]
        at += 2
        raw = body[at:at + value_length]
        at += value_length
        if tag in (0x21, 0x23):
            value = struct.unpack(">i", raw)[0]
        elif tag == 0x22:
            value = bool(raw[0])
        else:
            value = raw.decode(errors="replace")
        attributes.setdefault(name, []).append(value)
    return status, attributes


class PrivateCupsd:
    def __init__(self, filter_path, work_dir=None, log_level="debug", policies=None,
                 configure=None, backends=(), authenticate=False, filters=()):
        """`policies`: the <Policy> sections of cupsd.conf (default: one that lets everyone
        do and see everything); `configure`: called with the path of cupsd.conf once it is
        written, before cupsd starts; `backends`: system backends the queues may use besides
        capture (e.g. "socket"); `authenticate`: the IPP requests of ipp() prove the calling
        user through the socket's peer credentials, as libcups does when policies ask for it;
        `filters`: system filters besides pstops (e.g. "pdftopdf" and "pdftops" for the PDF
        that GTK applications send)."""
        self.filter_path = os.path.abspath(filter_path)
        self.log_level = log_level
        self.policies = policies
        self.configure = configure
        self.backends = tuple(backends)
        self.authenticate = authenticate
        self.filters = tuple(filters)
        # In /tmp, whatever TMPDIR says: every directory above the spool must be traversable
        # for cupsd's User, and the socket path must stay short.
        self.dir = work_dir or tempfile.mkdtemp(prefix="cupsd-",
                                                dir="/tmp" if os.path.isdir("/tmp") else None)
        os.chmod(self.dir, 0o755)  # cupsd's User must reach the captures and the job files
        self.socket_path = os.path.join(self.dir, "cups.sock")
        self.client_env = dict(os.environ, CUPS_SERVER=self.socket_path)
        self.client_env.pop("LANG", None)
        self.client_env["LC_ALL"] = "C"
        self.process = None
        self._request_id = 0
        if os.geteuid() == 0:
            self.user, self.group = "lp", "lp"
        else:
            self.user = pwd.getpwuid(os.getuid()).pw_name
            self.group = grp.getgrgid(os.getgid()).gr_name

    # ---- set-up ------------------------------------------------------------------------

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def _install(self, source, target, mode=0o755):
        shutil.copyfile(source, target)
        os.chmod(target, mode)

    def _write_configuration(self):
        for sub in ("root", "root/ppd", "spool", "spool/tmp", "cache", "state", "log",
                    "ssl", "serverbin/filter", "serverbin/backend", "serverbin/daemon",
                    "captures"):
            os.makedirs(self.path(sub), exist_ok=True)
        for sub in ("serverbin", "serverbin/filter", "serverbin/backend", "serverbin/daemon"):
            os.chmod(self.path(sub), 0o755)
        # CUPS runs only filters and backends that no one but their owner may change.
        self._install(self.filter_path, self.path("serverbin/filter/jobtypefilter"))
        for name in ("pstops",) + self.filters:
            system_filter = os.path.join(SYSTEM_SERVERBIN, "filter", name)
            if os.path.exists(system_filter):
                self._install(system_filter, self.path("serverbin/filter", name))
        self._install(os.path.join(SYSTEM_SERVERBIN, "daemon", "cups-exec"),
                      self.path("serverbin/daemon/cups-exec"))
        # cups-driverd (package cups) lists the driver PPDs for lpinfo -m and lpadmin -m.
        driverd = os.path.join(SYSTEM_SERVERBIN, "daemon", "cups-driverd")
        if os.path.exists(driverd):
            self._install(driverd, self.path("serverbin/daemon/cups-driverd"))
        with open(self.path("serverbin/backend/capture"), "w") as f:
            f.write(CAPTURE_BACKEND)
        os.chmod(self.path("serverbin/backend/capture"), 0o755)
        for name in self.backends:
            self._install(os.path.join(SYSTEM_SERVERBIN, "backend", name),
                          self.path("serverbin/backend", name))

        with open(self.path("cupsd.conf"), "w") as f:
            f.write(f"""LogLevel {self.log_level}
MaxLogSize 0
Listen {self.socket_path}
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
PreserveJobHistory Yes
PreserveJobFiles No
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
{self.policies or PERMISSIVE_POLICY}""")
        if self.configure is not None:
            self.configure(self.path("cupsd.conf"))
        system_group = "root" if os.geteuid() == 0 else self.group
        with open(self.path("cups-files.conf"), "w") as f:
            f.write(f"""User {self.user}
Group {self.group}
SystemGroup {system_group}
Sandboxing Relaxed
FileDevice No
ServerRoot {self.path("root")}
RequestRoot {self.path("spool")}
TempDir {self.path("spool/tmp")}
CacheDir {self.path("cache")}
StateDir {self.path("state")}
ServerBin {self.path("serverbin")}
ServerKeychain {self.path("ssl")}
AccessLog {self.path("log/access_log")}
ErrorLog {self.path("log/error_log")}
PageLog {self.path("log/page_log")}
Printcap {self.path("printcap")}
""")

    def start(self, timeout=30):
        self._write_configuration()
        with open(self.path("log/cupsd.out"), "wb") as out:
            self.process = subprocess.Popen(
                [CUPSD, "-f", "-c", self.path("cupsd.conf"), "-s", self.path("cups-files.conf")],
                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                env=dict(os.environ, LC_ALL="C"), preexec_fn=_end_with_parent)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("cupsd ended at start-up:\n" + self.logs())
            if os.path.exists(self.socket_path):
                try:
                    self.ipp(0x4002, [])  # CUPS-Get-Default: answers once cupsd serves
                    return self
                except (OSError, http.client.HTTPException):
                    pass
            time.sleep(0.1)
        self.stop()
        raise RuntimeError("cupsd did not answer in time")

    def stop(self, timeout=20):
        if self.process is not None and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None
        if os.environ.get("KEEP_PRIVATE_CUPSD"):
            print("private cupsd left in", self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # ---- clients -----------------------------------------------------------------------

    def client(self, *argv, check=True):
        result = subprocess.run(list(argv), capture_output=True, env=self.client_env, timeout=60)
        if check and result.returncode != 0:
            raise RuntimeError(f"{argv[0]} failed ({result.returncode}): "
                               f"{result.stderr.decode(errors='replace')}")
        return result

    def add_queue(self, name, ppd, options=()):
        """A queue on the capture backend; its jobs land in captures/<name>/."""
        capture_dir = self.path("captures", name)
        os.makedirs(capture_dir, exist_ok=True)
        os.chmod(capture_dir, 0o755)
        if os.geteuid() == 0:
            lp = pwd.getpwnam(self.user)
            os.chown(capture_dir, lp.pw_uid, lp.pw_gid)
        argv = ["lpadmin", "-p", name, "-E", "-v", "capture:" + capture_dir, "-P", ppd]
        for option in options:
            argv += ["-o", option]
        self.client(*argv)
        return capture_dir

    def submit(self, queue, path, options=None, title=None, document_format=None, user=None):
        """Sends a file with `lp` (as requesting user `user` when given); options map names to
        values (passed as -o name=value; a value of None passes -o name alone, lp's boolean form).
        Returns the job id."""
        argv = ["lp", "-d", queue]
        if user is not None:
            argv += ["-U", user]
        if title is not None:
            argv += ["-t", title]
        if document_format is not None:
            argv += ["-o", "document-format=" + document_format]
        for name, value in (options or {}).items():
            if value is None:
                argv += ["-o", name]
                continue
            value = value.decode() if isinstance(value, bytes) else value
            argv += ["-o", f"{name}={_quote(value)}"]
        argv.append(path)
        out = self.client(*argv).stdout.decode()
        match = re.search(r"request id is \S+-(\d+)", out)
        if not match:
            raise RuntimeError("lp gave no job id: " + out)
        return int(match.group(1))

    def capture_path(self, queue, job_id):
        return self.path("captures", queue, f"job-{job_id}.ps")

    def wait_capture(self, queue, job_id, timeout=30):
        """The bytes the backend received for the job, once it has them all; None when none
        arrive within the timeout."""
        path = self.capture_path(queue, job_id)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if os.path.exists(path):
                with open(path, "rb") as f:
                    return f.read()
            time.sleep(0.1)
        return None

    def captured_options(self, queue, job_id):
        """The options string the backend was started with (the filters get the same)."""
        with open(self.path("captures", queue, f"job-{job_id}.options"), "rb") as f:
            return f.read()

    # ---- IPP ---------------------------------------------------------------------------

    def ipp(self, operation, attributes, resource="/"):
        """One IPP request over the socket; attributes are (tag, name, value) triples in the
        operation group. Returns (status, {name: [values]})."""
        return _parse_ipp_response(self.ipp_response(operation, attributes, resource))

    def ipp_response(self, operation, attributes, resource="/"):
        """The raw body of the answer to one IPP request (see ipp)."""
        self._request_id += 1
        body = struct.pack(">BBHI", 2, 0, operation, self._request_id) + b"\x01"
        body += _ipp_attribute(0x47, "attributes-charset", "utf-8")
        body += _ipp_attribute(0x48, "attributes-natural-language", "en")
        for tag, name, value in attributes:
            body += _ipp_attribute(tag, name, value)
        body += b"\x03"
        headers = {"Content-Type": "application/ipp"}
        if self.authenticate:
            headers["Authorization"] = "PeerCred " + pwd.getpwuid(os.getuid()).pw_name
        connection = UnixHTTPConnection(self.socket_path)
        try:
            connection.request("POST", resource, body, headers)
            return connection.getresponse().read()
        finally:
            connection.close()

    def job_attributes(self, job_id):
        _, attributes = self.ipp(0x0009, [
            (0x45, "job-uri", f"ipp://localhost/jobs/{job_id}"),
            (0x42, "requesting-user-name", "root"),
            (0x44, "requested-attributes", "all"),
        ])
        return attributes

    def job_state(self, job_id):
        """pending, held, processing, stopped, canceled, aborted or completed."""
        states = self.job_attributes(job_id).get("job-state", [0])
        return JOB_STATES.get(states[0], str(states[0]))

    def wait_job_state(self, job_id, states, timeout=30):
        deadline = time.monotonic() + timeout
        state = None
        while time.monotonic() < deadline:
            state = self.job_state(job_id)
            if state in states:
                return state
            time.sleep(0.1)
        return state

    def wait_job_message(self, job_id, states, timeout=30):
        """(state, job-printer-state-message) once the job is in one of `states` and its message
        is set, or as they stand when the timeout passes. cupsd takes the first error line of a
        job as its message, but only when that line comes before the filter's exit is handled:
        waiting for the state alone can read the message before the line has been processed."""
        deadline = time.monotonic() + timeout
        state, message = None, ""
        while time.monotonic() < deadline:
            attributes = self.job_attributes(job_id)
            state = JOB_STATES.get(attributes.get("job-state", [0])[0])
            message = (attributes.get("job-printer-state-message") or [""])[0]
            if state in states and message:
                break
            time.sleep(0.1)
        return state, message

    def logs(self):
        text = []
        for name in ("log/cupsd.out", "log/error_log"):
            try:
                with open(self.path(name), errors="replace") as f:
                    text.append(f.read())
            except OSError:
                pass
        return "\n".join(text)


def _end_with_parent():
    """In the child before exec: SIGTERM when the test process dies, so that a killed test
    leaves no scheduler behind."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except (AttributeError, OSError):
        pass


def _quote(value):
    """A value as lp's option parser reads it back unchanged."""
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def rerun_with_ppd_dir(script, ppd_dir, files, flag):
    """Runs the test file `script` again, with this process's arguments and the environment
    variable `flag` set, in a private mount namespace where the system's PPD directory `ppd_dir`
    shows only `files` (their paths under it, each mapped to the file copied there), as the
    system's cups-driverd, which `lpinfo -m` asks, reads it. Answers the run's exit status, or
    None where that cannot be done: not root, no unshare or no right to make mount namespaces
    (a container), or no `ppd_dir`."""
    if os.geteuid() != 0 or not shutil.which("unshare") or not os.path.isdir(ppd_dir):
        return None
    if subprocess.run(["unshare", "--mount", "true"], capture_output=True).returncode != 0:
        return None
    stage = tempfile.mkdtemp(prefix="ppd-root-")
    try:
        os.chmod(stage, 0o755)
        for relative, source in files.items():
            target = os.path.join(stage, relative)
            os.makedirs(os.path.dirname(target), mode=0o755, exist_ok=True)
            shutil.copyfile(source, target)
            os.chmod(target, 0o644)
        # The bind mount stays inside the new namespace (unshare makes its mounts private).
        bind = 'mount --bind "$1" "$2" && shift 2 && exec "$@"'
        return subprocess.run(
            ["unshare", "--mount", "--propagation", "private", "sh", "-c", bind, "sh", stage,
             ppd_dir, sys.executable, os.path.abspath(script), *sys.argv[1:]],
            env=dict(os.environ, **{flag: "1"})).returncode
    finally:
        shutil.rmtree(stage, ignore_errors=True)
