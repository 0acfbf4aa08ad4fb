"""kordavine-cupsd-policy on cupsd.conf files: enable hides the two job attributes in every
policy and keeps what was hidden, cupsd accepts the result, both commands are idempotent and
disable gives the file back byte for byte; bad input is refused and leaves the file alone; the
install step enables it only without DESTDIR and with the option on.

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
NAMES = ["com.varlo.printsettings.Password", "com.varlo.printsettings.UserCode"]
STOCK_CONF = "/usr/share/cups/cupsd.conf.default"
CUPSD = shutil.which("cupsd", path="/usr/sbin:/sbin:" + os.environ.get("PATH", "")) or "cupsd"


def policy(name, body):
    return f"<Policy {name}>\n{body}  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"


def private_values(text):
    """{policy name: [JobPrivateValues words]} as cupsd would read them, and the LogDebugHistory
    value outside the policies (None when absent)."""
    result = {}
    for name, body in re.findall(r"(?ims)^\s*<Policy\s+([^>]+)>(.*?)^\s*</Policy>", text):
        body = re.sub(r"(?ims)^\s*<Limit.*?</Limit>", "", body)
        lines = re.findall(r"(?im)^\s*JobPrivateValues\s+(.*?)\s*$", body)
        result[name.strip()] = re.split(r"[\s,]+", lines[-1]) if lines else None
    outside = re.sub(r"(?ims)^\s*<Policy.*?</Policy>", "", text)
    history = re.findall(r"(?im)^\s*LogDebugHistory\s+(\S+)", outside)
    return result, (history[-1] if history else None)


class CupsdPolicyTool(unittest.TestCase):

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="cupsd-policy-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def write(self, text, name="cupsd.conf"):
        path = os.path.join(self.dir, name)
        with open(path, "w", newline="") as f:
            f.write(text)
        return path

    def read(self, path):
        with open(path, newline="") as f:
            return f.read()

    def tool(self, *argv):
        return subprocess.run([ARGS.tool, *argv], capture_output=True, text=True, timeout=60)

    def cupsd_accepts(self, conf):
        files = self.write(f"ServerRoot {self.dir}\nErrorLog stderr\n", "cups-files.conf")
        result = subprocess.run([CUPSD, "-t", "-c", conf, "-s", files], capture_output=True,
                                text=True, timeout=60)
        return result.returncode == 0, result.stdout + result.stderr

    def test_enable_hides_both_names_keeps_the_rest_and_disable_takes_it_back(self):
        with open(STOCK_CONF) as f:
            stock = f.read()
        default_body = "  JobPrivateAccess default\n  JobPrivateValues default\n"
        # (case, cupsd.conf, {policy: expected JobPrivateValues after enable}, history after
        #  enable, a warning enable must give or None)
        cases = [
            ("Debian's stock file", stock,
             {p: ["default", *NAMES] for p in ("default", "authenticated", "kerberos")},
             "0", None),
            ("policy without the line", "LogLevel warn\n" + policy("default", ""),
             {"default": ["default", *NAMES]}, "0", None),
            ("none made private", policy("default", "  JobPrivateValues none\n"),
             {"default": NAMES}, "0", None),
            ("all already private", policy("default", "  JobPrivateValues all\n"),
             {"default": ["all"]}, "0", None),
            ("comma list, one name there", policy(
                "default", "  JobPrivateValues job-name,com.varlo.printsettings.Password\n"),
             {"default": ["job-name", *NAMES]}, "0", None),
            ("both names there", policy("default", f"  JobPrivateValues {' '.join(NAMES)}\n"),
             {"default": NAMES}, "0", None),
            ("history set", "LogDebugHistory 500\n" + policy("default", default_body),
             {"default": ["default", *NAMES]}, "0", None),
            ("CR LF lines", (policy("own", default_body) + policy("default", "")).replace(
                "\n", "\r\n"), {"own": ["default", *NAMES], "default": ["default", *NAMES]},
             "0", None),
            ("everyone sees private values", policy(
                "default", "  JobPrivateAccess all\n  JobPrivateValues default\n"),
             {"default": ["default", *NAMES]}, "0", "JobPrivateAccess all"),
        ]
        for name, original, expected, history, warning in cases:
            with self.subTest(name):
                conf = self.write(original)
                before = self.tool("status", conf)
                self.assertEqual(before.returncode, 3)
                self.assertIn("error_log", before.stdout)
                self.assertEqual("shows them" in before.stdout,
                                 name not in ("both names there", "all already private"))
                result = self.tool("enable", conf)
                self.assertEqual(result.returncode, 0, result.stderr)
                enabled = self.read(conf)
                self.assertEqual(private_values(enabled), (expected, history))
                if warning:
                    self.assertIn(warning, result.stderr)
                accepted, log = self.cupsd_accepts(conf)
                self.assertTrue(accepted, log)
                self.assertEqual(self.tool("status", conf).returncode, 0)
                self.assertEqual(self.tool("enable", conf).returncode, 0)
                self.assertEqual(self.read(conf), enabled)
                self.assertEqual(self.tool("disable", conf).returncode, 0)
                self.assertEqual(self.read(conf), original)
                self.assertEqual(self.tool("disable", conf).returncode, 0)
                self.assertEqual(self.read(conf), original)

    def test_disable_after_an_edit_removes_only_the_two_names(self):
        conf = self.write(policy("default", "  JobPrivateValues default\n"))
        self.assertEqual(self.tool("enable", conf).returncode, 0)
        edited = self.read(conf).replace(NAMES[1], NAMES[1] + " job-password")
        self.write(edited)
        self.assertEqual(self.tool("disable", conf).returncode, 0)
        text = self.read(conf)
        self.assertEqual(private_values(text), ({"default": ["default", "job-password"]}, None))
        self.assertNotIn("kordavine-cupsd-policy", text)

    def test_mode_owner_and_links_stay(self):
        conf = self.write(policy("default", "  JobPrivateValues default\n"))
        os.chmod(conf, 0o640)
        if os.geteuid() == 0:
            os.chown(conf, 0, 7)  # group lp on Debian
        before = os.stat(conf)
        self.assertEqual(self.tool("enable", conf).returncode, 0)
        after = os.stat(conf)
        self.assertEqual((after.st_mode, after.st_uid, after.st_gid),
                         (before.st_mode, before.st_uid, before.st_gid))
        self.assertNotEqual(after.st_ino, before.st_ino)  # replaced, not rewritten in place
        self.assertEqual(sorted(os.listdir(self.dir)), ["cupsd.conf"])
        # Through a symbolic link the file it names changes and the link stays.
        link = os.path.join(self.dir, "link.conf")
        os.symlink("cupsd.conf", link)
        self.assertEqual(self.tool("disable", link).returncode, 0)
        self.assertTrue(os.path.islink(link))
        self.assertEqual(private_values(self.read(conf))[0], {"default": ["default"]})

    def test_bad_input_is_refused_and_changes_nothing(self):
        # (case, file text or None for a missing file, command, exit status, part of stderr)
        cases = [
            ("no policy", "LogLevel warn\n", "enable", 1, "no <Policy> section"),
            ("unterminated policy", "<Policy default>\n  JobPrivateValues default\n",
             "enable", 1, "has no </Policy>"),
            ("missing file", None, "enable", 1, "No such file"),
            ("unknown command", policy("default", ""), "hide", 2, "enable"),
            ("not text", b"\xff\xfe<Policy default>\n</Policy>\n", "disable", 1, "decode"),
        ]
        for name, text, command, status, message in cases:
            with self.subTest(name):
                conf = os.path.join(self.dir, name.replace(" ", "-"))
                if isinstance(text, bytes):
                    with open(conf, "wb") as f:
                        f.write(text)
                elif text is not None:
                    self.write(text, os.path.basename(conf))
                result = self.tool(command, conf)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertIn(message, result.stderr)
                if text is not None:
                    with open(conf, "rb") as f:
                        self.assertEqual(f.read(), ex.as_bytes(text))

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


if __name__ == "__main__":
    ex.run_unittests("tool", "source")
