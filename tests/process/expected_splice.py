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

# The two interpreter tests, as (tabs, content).
PROCEDURE_LINES = [
    (0, b""),
    (0, b"/isEnhancedFeatures"),
    (1, b"{userdict /4b1e7d2c90 known { userdict /4b1e7d2c90 get /EnhancedFeatures known} "
        b"{false} ifelse } bind def"),
    (0, b""),
    (0, b"/isGenuine{"),
    (1, b"2 dict begin"),
    (1, b"/isGenuineFlag //false def"),
    (1, b"//systemdict /execdict known  {"),
    (2, b"//systemdict /execdict get /copyright known {"),
    (3, b"/copyright //systemdict /execdict get /copyright get def"),
    (3, b"{ copyright ( ) anchorsearch {"),
    (5, b"pop /copyright exch def"),
    (4, b"}{"),
    (5, b"pop"),
    (5, b"exit"),
    (4, b"} ifelse"),
    (3, b"} loop"),
    (0, b""),
    (3, b"copyright ((c) Copyright 1984-) anchorsearch {"),
    (4, b"pop pop"),
    (4, b"copyright ( Adobe Systems Incorporated) search {"),
    (5, b"pop pop pop"),
    (5, b"copyright (All Rights Reserved.) search {"),
    (6, b"pop pop pop"),
    (6, b"/isGenuineFlag //true def"),
    (5, b"}{"),
    (6, b"pop"),
    (5, b"} ifelse"),
    (4, b"}{"),
    (5, b"pop"),
    (4, b"} ifelse"),
    (3, b"}{"),
    (4, b"pop"),
    (3, b"} ifelse"),
    (2, b"} if"),
    (1, b"} if"),
    (1, b"isGenuineFlag"),
    (1, b"end"),
    (0, b"}bind def"),
]


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


def expected_splice(options, stamp, eol=b"\n"):
    """The whole splice text for `options` (short key names), with time stamp `stamp`.
    Raises MissingKey when the filter has to refuse it."""
    stamp = as_bytes(stamp)
    lines = []

    def line(tabs, *pieces):
        lines.append(b"\t" * tabs + b"".join(pieces))

    def required(name):
        if name not in options:
            raise MissingKey(name)
        return as_bytes(options[name])

    for tabs, content in PROCEDURE_LINES:
        line(tabs, content)

    job_type = as_bytes(options.get("JobType", b"Normal"))
    user_code_on = _is_true(options, "EnableUserCode")
    needs = {
        b"Sample Print": ["UserID"],
        b"Locked Print": ["UserID", "Password"],
        b"Document Server": ["UserID", "Password", "FileName"],
        b"Paused Print": ["UserID", "FileName"],
        b"Saved Print": ["UserID", "Password", "FileName"],
        b"Save Document Print": ["UserID", "Password", "FileName"],
    }
    if job_type in needs:
        values = {name: escape(required(name)) for name in needs[job_type]}
    else:
        values = {"UserID": escape(options.get("UserID", b""))}
    user_code = escape(required("UserCode")) if user_code_on else b""
    uid = values["UserID"]

    line(0, b"mark")
    line(0, b"  (", uid, b") (", user_code, b") (", stamp, b") {setuserinfo} stopped")
    line(0, b"cleartomark")

    if job_type == b"Sample Print":
        line(0, b"mark")
        line(0, b"  (", uid, b") (", stamp, b") {proofprint} stopped")
        line(0, b"cleartomark")
    elif job_type == b"Locked Print":
        line(0, b"mark")
        line(0, b"  (", uid, b") (", stamp, b") (", values["Password"], b") {secureprint} stopped")
        line(0, b"cleartomark")
    elif job_type == b"Document Server":
        line(0, b"mark")
        line(0, b"  (", uid, b") (", stamp, b") (", values["Password"], b") (",
             values["FileName"], b") {storedprint} stopped")
        line(0, b"cleartomark")
    elif job_type in (b"Saved Print", b"Save Document Print"):
        line(0, b"mark {")
        line(0, b"<<")
        line(1, b"/JobType 3")
        line(1, b"/JobInfo <<\t/UserID (", uid, b")")
        line(2, b"/Time (", stamp, b")")
        line(2, b"/Password (", values["Password"], b")")
        line(2, b"/JobID (", values["FileName"], b")")
        line(1, b">>")
        line(1, b"/JobAttr <<\t", b"/Save 1" if job_type == b"Saved Print" else b"/Save 2")
        line(2, b"/Public false")
        line(2, b">>")
        line(0, b">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec")
        line(0, b"} stopped cleartomark")
    elif job_type == b"Paused Print":
        file_name = values["FileName"]
        if not _is_true(options, "SpecifyTimeKeySupport"):
            line(0, b"mark {")
            line(0, b"<<")
            line(1, b"/JobType 3")
            line(1, b"/JobInfo <<\t/UserID (", uid, b")")
            line(2, b"/Time (", stamp, b")")
            line(2, b"/JobID (", file_name, b")")
            line(1, b">>")
            line(0, b">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec")
            line(0, b"} stopped cleartomark")
        else:
            reserved = None
            if _is_true(options, "EnableSpecifyTime"):
                reserved = escape(required("SpecifyTime"))
            line(0, b"mark {")
            line(1, b"<< /JobType 3")
            line(1, b"/JobInfo")
            line(1, b"<<")
            line(2, b"/UserID (", uid, b")")
            line(2, b"/Time(", stamp, b")")
            line(2, b"/JobID (", file_name, b")")
            if reserved is not None:
                line(2, b"isGenuine not isEnhancedFeatures or {")
                line(2, b"/PrintReservedTime(", reserved, b")")
                line(2, b"}if")
            line(1, b">>")
            line(1, b"/JobAttr << /Save 0 >>")
            line(1, b">> /ZDeviceProcSet /ProcSet findresource /SetJobType get exec")
            line(0, b"} stopped cleartomark")

    line(0, b"")  # no copy control
    return b"".join(l + eol for l in lines)


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
