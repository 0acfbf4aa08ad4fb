#!/usr/bin/env python3
"""Plays one dialog scenario with joblog-dialog and compares its output with the expected JSON.

A scenario file holds:
  "ppd":      a fixture name under fixtures/ppd, "samples/<file>" for a sample, or null (no PPD)
  "language": the dialog's language (default "en")
  "settings": the initial print settings (short names get the key prefix), or null for none
  "refuseWrites": {key: status} writes the print-settings store refuses
  "env":      extra environment variables; "faketime": a libfaketime time stamp
  "script":   the steps
  "expectExit", "expectError": for a run that must fail: its exit status and a part of its
              standard error (there is then no expected output file)
The expected output sits beside it as <name>.expected.json. With JOBLOG_UPDATE_FIXTURES=1 the
expected file is written from the run instead (review the difference before committing it).
"""
import json
import os
import subprocess
import sys


LIBFAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


def command_for(driver, scenario, fixtures, samples):
    command = [driver, "--language", scenario.get("language", "en")]
    ppd = scenario.get("ppd")
    if ppd is not None:
        if ppd.startswith("samples/"):
            command += ["--ppd", os.path.join(samples, ppd[len("samples/"):])]
        else:
            command += ["--ppd", os.path.join(fixtures, "ppd", ppd + ".ppd")]
    command += ["--settings-json", json.dumps(scenario.get("settings", {}))]
    for key, status in sorted(scenario.get("refuseWrites", {}).items()):
        command += ["--refuse-write", f"{key}={status}"]
    command += ["--script-json", json.dumps(scenario["script"])]
    return command


def main():
    driver, scenario_path, fixtures, samples = sys.argv[1:5]
    with open(scenario_path, encoding="utf-8") as f:
        scenario = json.load(f)
    env = dict(os.environ)
    env.update(scenario.get("env", {}))
    if "faketime" in scenario:
        # libfaketime preloaded directly: the faketime wrapper names a semaphore after its pid
        # and leaves it behind, so a later run with the same pid fails with "File exists".
        env["FAKETIME"] = scenario["faketime"]
        env["LD_PRELOAD"] = " ".join(filter(None, [LIBFAKETIME, env.get("LD_PRELOAD")]))
        # It comes ahead of a sanitizer runtime; let a sanitized build run anyway.
        asan = env.get("ASAN_OPTIONS", "")
        env["ASAN_OPTIONS"] = (asan + ":" if asan else "") + "verify_asan_link_order=0"
    run = subprocess.run(command_for(driver, scenario, fixtures, samples), capture_output=True, env=env, check=False)
    if "expectExit" in scenario:
        error = run.stderr.decode("utf-8", "replace")
        if run.returncode == scenario["expectExit"] and scenario["expectError"] in error:
            return 0
        print(f"expected exit {scenario['expectExit']} with {scenario['expectError']!r}, got {run.returncode}: {error}")
        return 1
    if run.returncode != 0:
        sys.stderr.write(run.stderr.decode("utf-8", "replace"))
        print(f"joblog-dialog exited with {run.returncode}")
        return 1
    actual = json.loads(run.stdout)
    expected_path = scenario_path[: -len(".json")] + ".expected.json"
    if os.environ.get("JOBLOG_UPDATE_FIXTURES") == "1":
        with open(expected_path, "w", encoding="utf-8") as f:
            json.dump(actual, f, indent=2, sort_keys=True, ensure_ascii=False)
            f.write("\n")
        print(f"wrote {expected_path}")
        return 0
    with open(expected_path, encoding="utf-8") as f:
        expected = json.load(f)
    if actual == expected:
        return 0
    for key in sorted(set(actual) | set(expected)):
        if actual.get(key) != expected.get(key):
            print(f"--- {key} expected:\n{json.dumps(expected.get(key), indent=2, ensure_ascii=False)}")
            print(f"+++ {key} actual:\n{json.dumps(actual.get(key), indent=2, ensure_ascii=False)}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
