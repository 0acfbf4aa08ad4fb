"""Reading what the device stand-in (tests/fixtures/device-prelude.ps) prints in Ghostscript:
one line "CALL name operand..." per device call, strings in hex, dictionaries with sorted keys,
and the stack depths on the job's last line."""

import re
import subprocess

GS = ["gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=nullpage"]
JOB_END = re.compile(rb"^JOB end (\d+) (\d+)$", re.M)


def parse_value(tokens, at):
    """One value of the prelude's print form from tokens[at]; returns (value, next index)."""
    token = tokens[at]
    if token.startswith("<"):
        return bytes.fromhex(token[1:-1]), at + 1
    if token == "{":
        entries, at = {}, at + 1
        while tokens[at] != "}":
            assert tokens[at].startswith("/"), tokens
            entries[tokens[at][1:]], at = parse_value(tokens, at + 1)
        return entries, at + 1
    if token == "[":
        items, at = [], at + 1
        while tokens[at] != "]":
            item, at = parse_value(tokens, at)
            items.append(item)
        return items, at + 1
    if token in ("true", "false"):
        return token == "true", at + 1
    if token.startswith("/"):
        return ("name", token[1:]), at + 1
    if re.fullmatch(r"-?\d+", token):
        return int(token), at + 1
    return float(token), at + 1


def device_calls(output):
    """[(procedure, [operands])] from the prelude's CALL lines."""
    calls = []
    for line in output.decode("ascii", errors="replace").splitlines():
        if not line.startswith("CALL "):
            continue
        tokens = re.findall(r"<[0-9a-f]*>|[{}\[\]]|[^\s{}\[\]<>]+", line[len("CALL "):])
        name, operands, at = tokens[0], [], 1
        while at < len(tokens):
            value, at = parse_value(tokens, at)
            operands.append(value)
        calls.append((name, operands))
    return calls


def run_gs(test, files):
    """Runs Ghostscript over files for a unittest case: it must exit 0 with no PostScript error
    and reach the job's last line. Returns the output and the stack depths printed there."""
    result = subprocess.run(GS + files, capture_output=True, timeout=60)
    output = result.stdout + result.stderr
    test.assertEqual(result.returncode, 0, output)
    test.assertNotIn(b"Error", output)
    end = JOB_END.search(result.stdout)
    test.assertIsNotNone(end, output)
    return result.stdout, end.groups()
