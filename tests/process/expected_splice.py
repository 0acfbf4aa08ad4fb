"""What the job-type filter should write, built independently of the filter's own code.

Used by the process, CUPS and Ghostscript tests: the PostScript text the filter inserts before
the job's first "%%BeginProlog" line, the options string as CUPS hands it to filters, and small
helpers to run the built filter.
"""

import os
import re
import subprocess

PREFIX = "com.varlo.printsettings."
TOKEN = b"%%BeginProlog"
GENERAL_MESSAGE = b"ERROR: ERROR: error in CUPS Filter - "
# The time stamp of the user-information call.
STAMP_RE = re.compile(rb"\) \((\d{12})\) \{setuserinfo\} stopped")

# The splice text's pieces, stated once for the C++ and the Python tests (README.md there).
GOLDEN_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "splice")
PLACEHOLDER_RE = re.compile(rb"@(\w+)@")


def golden(name, eol=b"\n", **values):
    """The golden piece `name` with its @Name@ placeholders replaced by `values` (bytes, as they
    stand in the PostScript) and every line ended by `eol`."""
    with open(os.path.join(GOLDEN_DIR, name + ".ps"), "rb") as f:
        template = f.read().replace(b"\n", eol)
    return PLACEHOLDER_RE.sub(lambda m: values[m.group(1).decode()], template)


def as_bytes(value):
    return value if isinstance(value, bytes) else value.encode("utf-8")


def key(name):
    return PREFIX + name


def escape(value):
    """A value as it stands between PostScript parentheses: backslash and parentheses behind a
    backslash, control bytes and DEL as three-digit octal escapes."""
    out = bytearray()
    for byte in as_bytes(value):
        if byte in b"\\()":
            out += b"\\" + bytes([byte])
        elif byte < 0x20 or byte == 0x7F:
            out += b"\\%03o" % byte
        else:
            out.append(byte)
    return bytes(out)


def options_string(options):
    """Job options in the form cupsParseOptions reads: name="value", quotes and backslashes
    escaped. `options` maps short key names (JobType, UserID, ...) or full names to values."""
    parts = []
    for name, value in options.items():
        full = name if "." in name else key(name)
        quoted = as_bytes(value).replace(b"\\", b"\\\\").replace(b'"', b'\\"')
        parts.append(full.encode() + b'="' + quoted + b'"')
    return b" ".join(parts)


class MissingKey(Exception):
    """A key that the chosen block needs is absent: the filter must refuse the splice."""


def _is_true(options, name):
    value = options.get(name)
    return value is not None and as_bytes(value).lower() == b"true"


# The options each job type's block requires, in the order the filter reads them.
REQUIRED = {
    b"Sample Print": ["UserID"],
    b"Locked Print": ["UserID", "Password"],
    b"Document Server": ["UserID", "Password", "FileName"],
    b"Paused Print": ["UserID", "FileName"],
    b"Saved Print": ["UserID", "Password", "FileName"],
    b"Save Document Print": ["UserID", "Password", "FileName"],
}


def expected_splice(options, stamp, eol=b"\n"):
    """The whole splice text for `options` (short key names), with time stamp `stamp`.
    Raises MissingKey when the filter has to refuse it."""

    def required(name):
        if name not in options:
            raise MissingKey(name)
        return as_bytes(options[name])

    job_type = as_bytes(options.get("JobType", b"Normal"))
    if job_type in REQUIRED:
        values = {name: escape(required(name)) for name in REQUIRED[job_type]}
    else:
        values = {"UserID": escape(options.get("UserID", b""))}
    user_code = escape(required("UserCode")) if _is_true(options, "EnableUserCode") else b""
    values["Time"] = as_bytes(stamp)

    text = golden("procedure-definitions", eol)
    text += golden("user-information", eol, UserCode=user_code, **values)
    if job_type in (b"Sample Print", b"Locked Print", b"Document Server"):
        text += golden(job_type.decode().lower().replace(" ", "-"), eol, **values)
    elif job_type in (b"Saved Print", b"Save Document Print"):
        text += golden("stored-job", eol, Save=b"1" if job_type == b"Saved Print" else b"2",
                       **values)
    elif job_type == b"Paused Print":
        if not _is_true(options, "SpecifyTimeKeySupport"):
            text += golden("paused-print", eol, **values)
        elif not _is_true(options, "EnableSpecifyTime"):
            text += golden("paused-print-with-attributes", eol, **values)
        else:
            text += golden("paused-print-with-reserved-time", eol,
                           ReservedTime=escape(required("SpecifyTime")), **values)
    return text + eol  # no copy control


def splice_into(job, splice):
    """The job with `splice` before its first line that begins with the token."""
    at = first_token_line(job)
    return job if at is None else job[:at] + splice + job[at:]


def first_token_line(job):
    """Offset of the first line that begins with the token, or None."""
    for match in re.finditer(re.escape(TOKEN), job):
        at = match.start()
        if at == 0 or job[at - 1:at] in (b"\n", b"\r"):
            return at
    return None


def stamps_in(output):
    """Every 12-digit time stamp the job-type text carries."""
    return re.findall(rb"[ (](\d{12})\)", output)


def run_filter(filter_path, options=None, job=None, job_file=None, env=None, timeout=60,
               user="tester", **popen):
    """Runs the filter once for `user`; the job comes from `job` on stdin or from the file
    `job_file`. `options` maps names to values (options_string) or is the options argument as
    bytes."""
    argv = [filter_path, "1", user, "title", "1",
            b"" if options is None else (options if isinstance(options, bytes)
                                         else options_string(options))]
    if job_file is not None:
        argv.append(job_file)
    full_env = dict(os.environ)
    full_env.update(env or {})
    if job is not None:
        popen["input"] = job
    else:
        popen.setdefault("stdin", subprocess.DEVNULL)
    popen.setdefault("stdout", subprocess.PIPE)
    popen.setdefault("stderr", subprocess.PIPE)
    return subprocess.run(argv, env=full_env, timeout=timeout, **popen)


def run_unittests(*names, skip_reason=None):
    """Entry of a test file: reads `--name value` arguments (handed over by CTest) into the
    file's ARGS, then runs its unittest cases with the remaining arguments. `skip_reason`, when
    given, is asked first; a reason skips the whole file with exit status 77."""
    import argparse
    import sys
    import unittest

    parser = argparse.ArgumentParser()
    for name in names:
        parser.add_argument("--" + name, required=True)
    args, rest = parser.parse_known_args()
    main = sys.modules["__main__"]
    main.ARGS = args
    reason = skip_reason() if skip_reason is not None else None
    if reason:
        print("SKIPPED: " + reason)
        sys.exit(77)
    unittest.main(module=main, argv=[sys.argv[0]] + rest, verbosity=2)
