"""kordavine-cupsd-policy on cupsd.conf files: what enable changes (the secret values hidden in
every policy, Get-Jobs and Get-Job-Attributes only for a proven user, no debug history), that
cupsd accepts it, that both commands are idempotent and that disable gives the file back byte for
byte, with its mode, owner, links and extended attributes; bad input; the install step and the
package's postinst.

  python3 test_cupsd_policy.py --tool Filter/cupsd/kordavine-cupsd-policy --source .
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "process"))
import expected_splice as ex  # noqa: E402

ARGS = None
NAMES = ["com.varlo.printsettings.Password", "com.varlo.printsettings.UserCode", "Password",
         "UserCode", "job-account-id", "job-billing"]
STOCK_CONF = "/usr/share/cups/cupsd.conf.default"
CUPSD = shutil.which("cupsd", path="/usr/sbin:/sbin:" + os.environ.get("PATH", "")) or "cupsd"
LIMIT_ALL = "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
# What status reports before enable: the values shown, names taken on trust, the debug history.
LEAKS = ("shows them", "believes the requesting user", "error_log")


def policy(name, body, limits=LIMIT_ALL):
    return f"<Policy {name}>\n{body}{limits}</Policy>\n"


def policies(text):
    return [(name.strip(), body) for name, body in
            re.findall(r"(?ims)^\s*<Policy\s+([^>]+)>(.*?)^\s*</Policy>", text)]


def limits(body):
    """[(operations in lower case, body)] of the <Limit>s of a policy."""
    return [(ops.lower().split(), limit)
            for ops, limit in re.findall(r"(?ims)^\s*<Limit\s+([^>]*)>(.*?)</Limit>", body)]


def private_values(data):
    """{policy name: [JobPrivateValues words]} as cupsd would read them, and the LogDebugHistory
    value outside the policies (None when absent)."""
    text = ex.as_bytes(data).decode("latin-1")
    result = {}
    for name, body in policies(text):
        body = re.sub(r"(?ims)^\s*<Limit.*?</Limit>", "", body)
        lines = re.findall(r"(?im)^\s*JobPrivateValues\s+(.*?)\s*$", body)
        result[name] = re.split(r"[\s,]+", lines[-1]) if lines else None
    outside = re.sub(r"(?ims)^\s*<Policy.*?</Policy>", "", text)
    history = re.findall(r"(?im)^\s*LogDebugHistory\s+(\S+)", outside)
    return result, (history[-1] if history else None)


def identity(data):
    """{policy name: the AuthType of the <Limit> cupsd applies to Get-Jobs (the first naming it,
    else <Limit All>), when that <Limit> and the one for Get-Job-Attributes both require a user,
    else None}, and whether the web interface's /jobs pages need a login."""
    text = ex.as_bytes(data).decode("latin-1")
    result = {}
    for name, body in policies(text):
        auth = []
        for operation in ("get-jobs", "get-job-attributes"):
            applied = ([limit for ops, limit in limits(body) if operation in ops]
                       + [limit for ops, limit in limits(body) if ops == ["all"]])
            types = re.findall(r"(?im)^\s*AuthType\s+(\S+)", applied[0]) if applied else []
            required = bool(applied) and re.search(r"(?im)^\s*Require\s", applied[0])
            auth.append(types[-1] if types and required else None)
        result[name] = auth[0] if auth[0] == auth[1] else None
    page = re.search(r"(?ims)^<Location\s+/jobs>.*?<Limit\s+GET[^>]*>(.*?)</Limit>", text)
    return result, bool(page and re.search(r"(?im)^\s*Require valid-user", page.group(1)))


def owner_operations_on_trust(data):
    """[(policy, operation)] of the operations that change where or how a job prints, granted
    to the job's owner (Require user @OWNER) by a <Limit> without AuthType: on the name alone."""
    found = []
    for name, body in policies(ex.as_bytes(data).decode("latin-1")):
        for operation in ("set-job-attributes", "cups-move-job", "cups-get-document"):
            first = [limit for ops, limit in limits(body) if operation in ops][:1]
            if first and re.search(r"(?im)^\s*Require\s+user\s.*@OWNER", first[0]) and \
                    not re.search(r"(?im)^\s*AuthType\s", first[0]):
                found.append((name, operation))
    return found


class CupsdPolicyTool(unittest.TestCase):

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="cupsd-policy-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def write(self, data, name="cupsd.conf"):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(ex.as_bytes(data))
        return path

    def read(self, path):
        with open(path, "rb") as f:
            return f.read()

    def tool(self, *argv):
        return subprocess.run([ARGS.tool, *argv], capture_output=True, text=True, timeout=60)

    def cupsd_accepts(self, conf):
        files = self.write(f"ServerRoot {self.dir}\nErrorLog stderr\n", "cups-files.conf")
        result = subprocess.run([CUPSD, "-t", "-c", conf, "-s", files], capture_output=True,
                                text=True, timeout=60)
        return result.returncode == 0, result.stdout + result.stderr

    def test_enable_hides_the_values_requires_identity_and_disable_takes_it_back(self):
        with open(STOCK_CONF, "rb") as f:
            stock = f.read()
        self.assertEqual(owner_operations_on_trust(stock), [("default", "set-job-attributes"),
                                                            ("default", "cups-move-job")])
        body = "  JobPrivateAccess default\n  JobPrivateValues default\n"
        own_limit = ("  <Limit Get-Jobs Get-Job-Attributes>\n    AuthType Basic\n"
                     "    Require valid-user\n  </Limit>\n" + LIMIT_ALL)
        # What the earlier version of the tool left: two names, no identity requirement.
        earlier = ("# kordavine-cupsd-policy: added\nLogDebugHistory 0\n"
                   + policy("default", "# kordavine-cupsd-policy: was:   JobPrivateValues "
                            "default\n  JobPrivateValues default " + " ".join(NAMES[:2]) + "\n"))
        admin_comments = ("# kordavine-cupsd-policy: added by hand, see ticket 42\n"
                          "# kordavine-cupsd-policy: added\nBrowsing Off\n"
                          "# kordavine-cupsd-policy: was: LogDebugHistory 100\nLogDebugHistory 50\n"
                          + policy("default", "# kordavine-cupsd-policy: was: all of it\n"))
        # (case, cupsd.conf, how it differs from the usual: "values", the JobPrivateValues of
        #  every policy after enable (else default and NAMES); "auth", the AuthType of the
        #  identity requirement (else Default), per policy or for all; "leaks" status reports
        #  before (else all LEAKS); "warning" of enable; "disabled", the text disable gives back
        #  (else the original))
        cases = [
            ("Debian's stock file", stock,
             {"auth": {"default": "Default", "authenticated": "Default", "kerberos": "Negotiate"}}),
            ("policy without the line", "LogLevel warn\n" + policy("default", ""), {}),
            ("policy without any limit", policy("default", "", limits=""), {}),
            ("none made private", policy("default", "  JobPrivateValues none\n"),
             {"values": NAMES}),
            ("all already private", policy("default", "  JobPrivateValues all\n"),
             {"values": ["all"], "leaks": LEAKS[1:]}),
            ("comma list, one name there", policy(
                "default", "  JobPrivateValues job-name,com.varlo.printsettings.Password\n"),
             {"values": ["job-name", *NAMES]}),
            ("all names there", policy("default", f"  JobPrivateValues {' '.join(NAMES)}\n"),
             {"values": NAMES, "leaks": LEAKS[1:]}),
            ("its own limit for the operations", policy("default", body, own_limit),
             {"auth": "Basic", "leaks": LEAKS[::2]}),
            ("every operation authenticated", policy("default", body, LIMIT_ALL.replace(
                "Order", "AuthType Negotiate\n    Require user @SYSTEM\n    Order")),
             {"auth": "Negotiate", "leaks": LEAKS[::2]}),
            ("history set", "LogDebugHistory 500\n" + policy("default", body), {}),
            ("CR LF lines",
             (policy("own", body) + policy("default", "")).replace("\n", "\r\n"), {}),
            ("CR LF, no last line end",
             ("LogDebugHistory 9\n" + policy("default", "")).replace("\n", "\r\n")[:-2], {}),
            ("Latin-1 comment", b"# Drucker f\xfcr das B\xfcro\n"
             + ex.as_bytes(policy("default", "  # gepr\xfcft\n" + body)), {}),
            ("comments that start like the marker", admin_comments, {}),
            ("enabled by the earlier version", earlier,
             {"leaks": LEAKS[:2], "disabled": policy("default", "  JobPrivateValues default\n")}),
            ("everyone sees private values", policy(
                "default", "  JobPrivateAccess all\n  JobPrivateValues default\n"),
             {"warning": "JobPrivateAccess all"}),
        ]
        for name, original, differs in cases:
            with self.subTest(name):
                original = ex.as_bytes(original)
                conf = self.write(original)
                names = [p for p, _ in policies(original.decode("latin-1"))]
                auth = differs.get("auth", "Default")
                before = self.tool("status", conf)
                self.assertEqual(before.returncode, 3)
                self.assertEqual([leak for leak in LEAKS if leak in before.stdout],
                                 list(differs.get("leaks", LEAKS)), before.stdout)
                result = self.tool("enable", conf)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(differs.get("warning", ""), result.stderr)
                enabled = self.read(conf)
                self.assertEqual(private_values(enabled),
                                 ({p: differs.get("values", ["default", *NAMES]) for p in names},
                                  "0"))
                self.assertEqual(identity(enabled),
                                 (auth if isinstance(auth, dict) else dict.fromkeys(names, auth),
                                  True))
                self.assertEqual(owner_operations_on_trust(enabled), [])
                if b"\r\n" in original:
                    self.assertIsNone(re.search(rb"(?<!\r)\n", enabled), enabled)
                for line in original.splitlines():
                    if line.lstrip().startswith(b"#"):
                        self.assertIn(line, enabled.splitlines())
                accepted, log = self.cupsd_accepts(conf)
                self.assertTrue(accepted, log)
                status = self.tool("status", conf)
                self.assertEqual(status.returncode, 0, status.stdout)
                self.assertEqual(self.tool("enable", conf).returncode, 0)
                self.assertEqual(self.read(conf), enabled)
                for _ in range(2):
                    self.assertEqual(self.tool("disable", conf).returncode, 0)
                    self.assertEqual(self.read(conf), ex.as_bytes(differs.get("disabled", original)))

    def test_identity_needs_an_authentication_type(self):
        # DefaultAuthType None turns AuthType Default into no authentication at all.
        conf = self.write("DefaultAuthType None\n" + policy("default", ""))
        result = self.tool("enable", conf)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("DefaultAuthType None", result.stderr)
        status = self.tool("status", conf)
        self.assertEqual(status.returncode, 3)
        self.assertIn("believes the requesting user's name", status.stdout)

    def test_disable_keeps_what_was_edited_since(self):
        # (case, edit of the enabled text, JobPrivateValues after disable, text left after
        #  disable or None for none of the tool's)
        cases = [
            ("a name added to the values", lambda t: t.replace(
                NAMES[-1], NAMES[-1] + " job-password"), ["default", "job-password"], None),
            ("a line added to the identity limit", lambda t: t.replace(
                "Require valid-user\n    Order", "Require valid-user\n    # mine\n    Order"),
             ["default"], "<Limit Get-Jobs Get-Job-Attributes>"),
        ]
        for name, edit, values, kept in cases:
            with self.subTest(name):
                conf = self.write(policy("default", "  JobPrivateValues default\n"))
                self.assertEqual(self.tool("enable", conf).returncode, 0)
                self.write(edit(self.read(conf).decode()))
                result = self.tool("disable", conf)
                self.assertEqual(result.returncode, 0, result.stderr)
                text = self.read(conf).decode()
                self.assertEqual(private_values(text), ({"default": values}, None))
                if kept:
                    self.assertIn(kept, text)
                    self.assertIn("not as enable wrote it", result.stderr)
                else:
                    self.assertNotIn("kordavine-cupsd-policy", text)

    def test_the_jobs_page_follows_the_root_location(self):
        # IPP requests to /jobs (cancel) must keep the hosts <Location /> lets in, also when
        # cupsctl --share-printers changes it after enable.
        original = "<Location />\n  Order allow,deny\n</Location>\n" + policy("default", "")
        conf = self.write(original)
        self.assertEqual(self.tool("enable", conf).returncode, 0)
        shared = self.read(conf).replace(b"deny\n</Location>", b"deny\n  Allow @LOCAL\n</Location>")
        self.write(shared)
        self.assertEqual(self.tool("enable", conf).returncode, 0)
        page = re.search(rb"(?s)<Location /jobs>\n(.*?)  <Limit", self.read(conf)).group(1)
        self.assertEqual(page, b"  Order allow,deny\n  Allow @LOCAL\n")
        accepted, log = self.cupsd_accepts(conf)
        self.assertTrue(accepted, log)
        self.assertEqual(self.tool("disable", conf).returncode, 0)
        self.assertEqual(self.read(conf), ex.as_bytes(original.replace(
            "deny\n</Location>", "deny\n  Allow @LOCAL\n</Location>")))

    def test_mode_owner_links_and_attributes_stay(self):
        original = policy("default", "  JobPrivateValues default\n")
        conf, other = os.path.join(self.dir, "cupsd.conf"), os.path.join(self.dir, "other.conf")
        # (how the tool is given the file, whether it is replaced by a new file)
        for link, replaced in ((None, True), (os.link, False), (os.symlink, True)):
            with self.subTest(link and link.__name__):
                for path in (conf, other):
                    if os.path.lexists(path):
                        os.unlink(path)
                self.write(original)
                os.chmod(conf, 0o640)
                if os.geteuid() == 0:
                    os.chown(conf, 0, 7)  # group lp on Debian
                attributes = {"user.kordavine-test": b"kept"}
                if shutil.which("setfacl"):
                    subprocess.run(["setfacl", "-m", "u:nobody:r", conf], check=True)
                    attributes["system.posix_acl_access"] = os.getxattr(
                        conf, "system.posix_acl_access")
                for key, value in attributes.items():
                    os.setxattr(conf, key, value)
                before = os.stat(conf)
                if link:
                    link(conf, other)
                result = self.tool("enable", other if link else conf)
                self.assertEqual(result.returncode, 0, result.stderr)
                after = os.stat(conf)
                self.assertEqual((after.st_mode, after.st_uid, after.st_gid),
                                 (before.st_mode, before.st_uid, before.st_gid))
                self.assertEqual(after.st_ino != before.st_ino, replaced)
                for key, value in attributes.items():
                    self.assertEqual(os.getxattr(conf, key), value, key)
                self.assertEqual(private_values(self.read(conf))[0]["default"],
                                 ["default", *NAMES])
                if link:
                    self.assertEqual(self.read(other), self.read(conf))
                    self.assertEqual(os.path.islink(other), link == os.symlink)
                self.assertEqual(sorted(os.listdir(self.dir)),
                                 ["cupsd.conf", "other.conf"] if link else ["cupsd.conf"])
                self.assertEqual(self.tool("disable", conf).returncode, 0)
                self.assertEqual(self.read(conf), ex.as_bytes(original))

    def test_bad_input_is_refused_and_changes_nothing(self):
        # (case, file text or None for a missing file, command, exit status, part of stderr)
        cases = [
            ("no policy", "LogLevel warn\n", "enable", 1, "no <Policy> section"),
            ("unterminated policy", "<Policy default>\n  JobPrivateValues default\n",
             "enable", 1, "has no </Policy>"),
            ("stray end", policy("default", "") + "</Location>\n", "disable", 1,
             "</Location> without its opening line"),
            ("missing file", None, "enable", 1, "No such file"),
            ("unknown command", policy("default", ""), "hide", 2, "enable"),
        ]
        for name, text, command, status, message in cases:
            with self.subTest(name):
                conf = os.path.join(self.dir, name.replace(" ", "-"))
                if text is not None:
                    self.write(text, os.path.basename(conf))
                result = self.tool(command, conf)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertIn(message, result.stderr)
                if text is not None:
                    self.assertEqual(self.read(conf), ex.as_bytes(text))

    def test_install_step_enables_only_a_live_install_with_the_option_on(self):
        build = os.path.join(self.dir, "build")
        serverroot = os.path.join(self.dir, "etc-cups")
        os.makedirs(serverroot)
        original = policy("default", "  JobPrivateValues default\n")
        conf = self.write(original, "etc-cups/cupsd.conf")
        prefix = os.path.join(self.dir, "prefix")
        stage = os.path.join(self.dir, "stage")

        def install(option, destdir=None, live=prefix):
            configure = subprocess.run(
                ["cmake", "-S", ARGS.source, "-B", build, "-DJOBLOG_TESTS=OFF",
                 "-DJOBLOG_PANEL=OFF", f"-DJOBLOG_CUPS_SERVERROOT={serverroot}",
                 f"-DJOBLOG_ENABLE_CUPSD_POLICY={option}", f"-DJOBLOG_CUPS_PREFIX={live}"],
                capture_output=True, text=True,
                timeout=300)
            self.assertEqual(configure.returncode, 0, configure.stderr)
            env = dict(os.environ)
            env.pop("DESTDIR", None)
            if destdir:
                env["DESTDIR"] = destdir
            # Only the policy tool's directory: the rest of the project needs a build first.
            result = subprocess.run(
                ["cmake", f"-DCMAKE_INSTALL_PREFIX={prefix}", "-P",
                 os.path.join(build, "Filter", "cupsd", "cmake_install.cmake")],
                capture_output=True, text=True, env=env, timeout=300)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

        # (case, option, DESTDIR, CUPS's own prefix, where the tool lands, whether cupsd.conf gets enabled)
        cases = [
            ("staged", "ON", stage, prefix, stage + prefix, False),
            ("option off", "OFF", None, prefix, prefix, False),
            ("another prefix", "ON", None, "/usr", prefix, False),
            ("live", "ON", None, prefix, prefix, True),
        ]
        for name, option, destdir, live, root, enabled in cases:
            with self.subTest(name):
                self.write(original, "etc-cups/cupsd.conf")
                install(option, destdir, live)
                tool = os.path.join(root, "sbin", "kordavine-cupsd-policy")
                self.assertTrue(os.access(tool, os.X_OK), tool)
                self.assertEqual(private_values(self.read(conf))[0],
                                 {"default": ["default", *NAMES] if enabled else ["default"]})

    def test_package_configuration_fails_while_the_values_are_not_private(self):
        """The package's postinst, with /etc/cups bound to a directory of the test's in a
        private mount namespace and the tool on PATH as dpkg would find it."""
        if os.geteuid() != 0 or not os.path.isdir("/etc/cups") or subprocess.run(
                ["unshare", "--mount", "true"], capture_output=True).returncode != 0:
            self.skipTest("needs root, /etc/cups and unshare to show the postinst a cupsd.conf")
        postinst = os.path.join(ARGS.source, "debian", "printer-driver-kordavine.postinst")
        bin_dir = os.path.join(self.dir, "bin")
        os.mkdir(bin_dir)
        os.symlink(os.path.abspath(ARGS.tool), os.path.join(bin_dir, "kordavine-cupsd-policy"))
        etc = os.path.join(self.dir, "etc-cups")
        # Nothing restarts the machine's own cups service from inside the test.
        script = ('mount --bind "$1" /etc/cups && if [ -d /run/systemd ]; then '
                  'mount -t tmpfs none /run/systemd; fi && shift && exec sh "$@"')
        # (case, cupsd.conf or None, whether the tool is on PATH, exit status, part of stderr,
        #  whether cupsd.conf ends up private)
        cases = [
            ("stock file", policy("default", "  JobPrivateValues default\n"), True, 0, "", True),
            ("no policy", "LogLevel warn\n", True, 1, "dpkg --configure -a", False),
            ("no cupsd.conf yet", None, True, 0, "once CUPS is installed", False),
            ("without the tool", policy("default", ""), False, 0, "", False),
        ]
        for name, text, tool, status, message, private in cases:
            with self.subTest(name):
                shutil.rmtree(etc, ignore_errors=True)
                os.mkdir(etc)
                conf = os.path.join(etc, "cupsd.conf")
                if text is not None:
                    self.write(text, conf)
                path = (bin_dir + ":" if tool else "") + "/usr/sbin:/usr/bin:/sbin:/bin"
                result = subprocess.run(
                    ["unshare", "--mount", "--propagation", "private", "sh", "-c", script, "sh",
                     etc, postinst, "configure", ""],
                    capture_output=True, text=True, env=dict(os.environ, PATH=path), timeout=60)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertIn(message, result.stderr)
                if text is not None:
                    after = self.read(conf)
                    self.assertEqual(after != ex.as_bytes(text), private)
                    self.assertEqual(self.tool("status", conf).returncode == 0, private)


if __name__ == "__main__":
    ex.run_unittests("tool", "source")
