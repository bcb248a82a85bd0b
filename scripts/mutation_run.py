#!/usr/bin/env python3
"""Plants the faults listed in tests/mutations/*.txt one at a time and tells
which of them the test suite catches.

Each list holds blocks separated by blank lines; a line starting with '#' is
a comment. A block names one fault:

    name: solver-square-kept-in-double
    file: model/tonehole_solver.cpp
    find: return static_cast<float>(std::pow(x, 2.0));
    replace: return std::pow(x, 2.0);
    why: a square that skips the rounding to single precision

`find` and `replace` take the text after the one blank behind the colon, as
it stands; repeating either key continues it on a new line, so a fault may
span lines, and an empty `replace` drops the text. `find` must occur exactly
once in `file`, else the fault is "stale". Otherwise it is replaced, the
default preset is rebuilt incrementally and the tests are run: the fault is
"caught" when a test fails (or hangs), "caught (build)" when the tree no
longer builds, and "survived" when everything passes. Tests that already
fail on the unchanged tree are named and left out. The file is restored
from a backup copy after each fault, and on any exit or interrupt.

A developer's tool, slow by design: it is not part of CI.
"""

import argparse
import glob
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIST_DIR = os.path.join(ROOT, "tests", "mutations")
KEYS = ("name", "file", "find", "replace", "why")
SLOW_TESTS = "package_install"  # builds and unpacks the Debian package
TEST_TIMEOUT = 900  # seconds for one test run; a fault that hangs counts as caught


def read_list(path):
    """The faults of one list file, each a dict of KEYS plus 'list'."""
    faults = []
    block = {}
    listed = os.path.splitext(os.path.basename(path))[0]

    def close_block(line_number):
        if not block:
            return
        missing = [key for key in KEYS if key not in block]
        if missing:
            sys.exit(f"{path}:{line_number}: fault block lacks {', '.join(missing)}")
        block["list"] = listed
        faults.append(dict(block))
        block.clear()

    number = 0
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            text = line.rstrip("\n")
            if text.startswith("#"):
                continue
            if not text.strip():
                close_block(number)
                continue
            key, colon, value = text.partition(":")
            if not colon or key not in KEYS:
                sys.exit(f"{path}:{number}: expected one of {', '.join(KEYS)}")
            if key in ("find", "replace"):
                value = value[1:] if value.startswith(" ") else value
                block[key] = block[key] + "\n" + value if key in block else value
            else:
                block[key] = value.strip()
        close_block(number + 1)
    return faults


def chosen_faults(lists, names):
    faults = []
    for path in sorted(glob.glob(os.path.join(LIST_DIR, "*.txt"))):
        if lists and os.path.splitext(os.path.basename(path))[0] not in lists:
            continue
        faults += [f for f in read_list(path) if not names or f["name"] in names]
    seen = set()
    for fault in faults:
        if fault["name"] in seen:
            sys.exit(f"fault name used twice: {fault['name']}")
        seen.add(fault["name"])
    return faults


RUNNING = []  # the child process of run(), ended when the script is interrupted


def run(command, log, timeout=None):
    """Runs `command` in the source tree; True when it exits 0."""
    child = subprocess.Popen(command, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT,
                             start_new_session=True)
    RUNNING.append(child)
    try:
        return child.wait(timeout=timeout) == 0
    except subprocess.TimeoutExpired:
        return False
    finally:
        end_children()


def end_children():
    """Ends the child's whole process group (ninja, the compilers, the tests)."""
    while RUNNING:
        child = RUNNING.pop()
        if child.poll() is None:
            os.killpg(child.pid, signal.SIGTERM)
            child.wait()


def build(jobs, log, targets=()):
    command = ["cmake", "--build", "--preset", "default", "-j", str(jobs)]
    return run(command + (["--target", *targets] if targets else []), log)


def test_targets(left_out):
    """The executables ctest starts for the tests that are run: only they
    need rebuilding for each fault."""
    shown = subprocess.run(["ctest", "--preset", "default", "--show-only=json-v1"], cwd=ROOT,
                           capture_output=True, text=True, check=True)
    build_dir = os.path.join(ROOT, "build") + os.sep
    return [os.path.basename(test["command"][0]) for test in json.loads(shown.stdout)["tests"]
            if test["name"] not in left_out and test.get("command")
            and test["command"][0].startswith(build_dir)]


def ctest(jobs, left_out, extra=()):
    return ["ctest", "--preset", "default", "-j", str(jobs), "-E",
            "|".join([SLOW_TESTS] + [f"^{name}$" for name in left_out]), *extra]


def tests_pass(jobs, left_out, log):
    return run(ctest(jobs, left_out, ["--stop-on-failure"]), log, TEST_TIMEOUT)


def failing_cases(jobs, left_out):
    """Every test case that fails, named as its framework prints it; a test
    program that fails without naming a case (a crash, a hang) is named
    itself."""
    try:
        result = subprocess.run(ctest(jobs, left_out, ["--output-on-failure"]), cwd=ROOT,
                                capture_output=True, text=True, errors="replace",
                                timeout=TEST_TIMEOUT)
    except subprocess.TimeoutExpired:
        return {"(timed out)"}
    output = result.stdout
    cases = set(re.findall(r"^\[  FAILED  \] ([\w/]+\.[\w/]+)", output, re.MULTILINE))
    cases |= set(re.findall(r"^FAIL!  : (?:\w+::)*(\w+::\w+)\(", output, re.MULTILINE))
    if not cases:
        cases = set(re.findall(r"^\s*\d+ - (\S+) \(", output, re.MULTILINE))
    return cases


def report_by_case(results):
    """Which cases catch which faults, and the cases that catch a fault no
    other case catches: the rest are candidates for merging or dropping."""
    alone = {}
    for fault, cases in results:
        if len(cases) == 1:
            alone.setdefault(next(iter(cases)), []).append(fault["name"])
    for case, names in sorted(alone.items()):
        print(f"alone: {case}: {' '.join(names)}")


def failing_before(jobs, log):
    """Tests that fail on the unchanged tree: they cannot tell a fault."""
    result = subprocess.run(ctest(jobs, []), cwd=ROOT, capture_output=True, text=True,
                            timeout=TEST_TIMEOUT)
    log.write(result.stdout + result.stderr)
    return re.findall(r"^\s*\d+ - (\S+) \(", result.stdout, re.MULTILINE)


class Planter:
    """Plants one fault at a time and always puts the file back."""

    def __init__(self):
        self.backup_dir = tempfile.mkdtemp(prefix="sorrel-mutation-")
        self.planted = None  # (path, backup) while a fault is in the tree

    def plant(self, fault):
        """'stale' when the text is not there exactly once, else None."""
        path = os.path.join(ROOT, fault["file"])
        if not os.path.isfile(path):
            return "stale"
        with open(path, encoding="utf-8") as handle:
            source = handle.read()
        if source.count(fault["find"]) != 1:
            return "stale"
        backup = os.path.join(self.backup_dir, "original")
        shutil.copy2(path, backup)
        self.planted = (path, backup)
        with open(path, "w", encoding="utf-8") as handle:
            handle.write(source.replace(fault["find"], fault["replace"], 1))
        return None

    def restore(self):
        if self.planted:
            path, backup = self.planted
            # Contents only: a fresh time stamp makes the next build recompile it.
            shutil.copyfile(backup, path)
            self.planted = None

    def close(self):
        self.restore()
        shutil.rmtree(self.backup_dir, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", action="append", default=[],
                        help="only this list (file name without .txt); may repeat")
    parser.add_argument("--fault", action="append", default=[],
                        help="only the fault of this name; may repeat")
    parser.add_argument("-j", "--jobs", type=int, default=2, help="build and test jobs")
    parser.add_argument("--by-case", action="store_true",
                        help="run every test for each fault and name the failing cases")
    args = parser.parse_args()

    faults = chosen_faults(set(args.list), set(args.fault))
    if not faults:
        sys.exit("no faults chosen")
    planter = Planter()

    def interrupted(signum, _frame):
        end_children()
        planter.close()
        sys.exit(128 + signum)

    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, interrupted)

    log_path = os.path.join(ROOT, "build", "mutation_run.log")
    os.makedirs(os.path.dirname(log_path), exist_ok=True)
    results = []
    by_case = []  # (fault, the cases that failed), with --by-case
    try:
        with open(log_path, "w", encoding="utf-8") as log:
            if not build(args.jobs, log):
                sys.exit(f"the unchanged tree does not build: see {log_path}")
            left_out = failing_before(args.jobs, log)
            if left_out:
                print(f"left out, failing before any fault is planted: {' '.join(left_out)}",
                      flush=True)
            targets = test_targets(left_out)
            for fault in faults:
                started = time.monotonic()
                log.write(f"\n===== {fault['name']}\n")
                log.flush()
                outcome = planter.plant(fault)
                if outcome is None:
                    if not build(args.jobs, log, targets):
                        outcome = "caught (build)"
                    elif args.by_case:
                        cases = failing_cases(args.jobs, left_out)
                        outcome = "caught" if cases else "survived"
                        by_case.append((fault, cases))
                    elif tests_pass(args.jobs, left_out, log):
                        outcome = "survived"
                    else:
                        outcome = "caught"
                    planter.restore()
                results.append((fault, outcome))
                caught_by = f" by {' '.join(sorted(by_case[-1][1]))}" if (
                    by_case and by_case[-1][0] is fault and by_case[-1][1]) else ""
                print(f"{outcome:15} {fault['list']:10} {fault['name']}"
                      f"  [{time.monotonic() - started:.0f} s]{caught_by}", flush=True)
            build(args.jobs, log)  # leave the build matching the restored tree
    finally:
        planter.close()

    counts = {}
    for _fault, outcome in results:
        counts[outcome] = counts.get(outcome, 0) + 1
    caught = counts.get("caught", 0) + counts.get("caught (build)", 0)
    live = len(results) - counts.get("stale", 0)
    for fault, outcome in results:
        if outcome == "survived":
            print(f"survived: {fault['file']}: {fault['why']} ({fault['name']})")
    report_by_case(by_case)
    percent = 100.0 * caught / live if live else 0.0
    print(f"{len(results)} faults: {caught} caught ({counts.get('caught (build)', 0)} by the "
          f"build), {counts.get('survived', 0)} survived, {counts.get('stale', 0)} stale; "
          f"{percent:.0f} % of the live faults caught")
    return 0 if counts.get("stale", 0) == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
