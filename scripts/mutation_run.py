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

With --sample N (and --gui-sample M) it plants generated faults instead:
the operators of scripts/mutation_sites.py at a seeded sample of N sites in
the Qt-free libraries, sorrel-cli and the files code, and M in the widgets.
Each is rebuilt and tested only as far as the build graph reaches from its
file, and reported caught, survived, timed out, build-failed, or
equivalent when tests/mutations/equivalent.txt names it.

A developer's tool, slow by design: it is not part of CI.
"""

import argparse
import glob
import os
import sys
import time

import mutation_sample
import mutation_graph
from mutation_tools import (ROOT, Planter, build, ctest, failing_before, failing_cases,
                            read_blocks, tests_outcome)

LIST_DIR = os.path.join(ROOT, "tests", "mutations")
KEYS = ("name", "file", "find", "replace", "why")


def read_list(path):
    """The faults of one list file, each a dict of KEYS plus 'list'."""
    listed = os.path.splitext(os.path.basename(path))[0]
    return [dict(fault, list=listed) for fault in read_blocks(path, KEYS, ("find", "replace"))]


def chosen_faults(lists, names):
    faults = []
    for path in sorted(glob.glob(os.path.join(LIST_DIR, "*.txt"))):
        if path == mutation_sample.EQUIVALENT_LIST:
            continue
        if lists and os.path.splitext(os.path.basename(path))[0] not in lists:
            continue
        faults += [f for f in read_list(path) if not names or f["name"] in names]
    seen = set()
    for fault in faults:
        if fault["name"] in seen:
            sys.exit(f"fault name used twice: {fault['name']}")
        seen.add(fault["name"])
    return faults


def report_by_case(results):
    """Which cases catch which faults, and the cases that catch a fault no
    other case catches: the rest are candidates for merging or dropping."""
    alone = {}
    for name, cases in results:
        if len(cases) == 1:
            alone.setdefault(next(iter(cases)), []).append(name)
    for case, names in sorted(alone.items()):
        print(f"alone: {case}: {' '.join(names)}")


def run_lists(args, planter, log, left_out):
    """Plants the hand-written faults; True when none is stale."""
    faults = chosen_faults(set(args.list), set(args.fault))
    if not faults:
        sys.exit("no faults chosen")
    targets = [os.path.basename(program)
               for program in mutation_graph.test_programs(ROOT, "default", left_out)]
    results = []
    by_case = []  # (fault's name, the cases that failed), with --by-case
    for fault in faults:
        started = time.monotonic()
        log.write(f"\n===== {fault['name']}\n")
        log.flush()
        outcome, cases = plant_listed(args, planter, log, left_out, targets, fault)
        if args.by_case and outcome != "stale":
            by_case.append((fault["name"], cases))
        results.append((fault, outcome))
        caught_by = f" by {' '.join(sorted(cases))}" if cases else ""
        print(f"{outcome:15} {fault['list']:10} {fault['name']}"
              f"  [{time.monotonic() - started:.0f} s]{caught_by}", flush=True)
    return report_lists(results, by_case)


def plant_listed(args, planter, log, left_out, targets, fault):
    """The outcome of one hand-written fault, and the failing cases."""
    path = os.path.join(ROOT, fault["file"])
    if not os.path.isfile(path):
        return "stale", set()
    with open(path, encoding="utf-8") as handle:
        source = handle.read()
    if source.count(fault["find"]) != 1:
        return "stale", set()
    planter.plant(fault["file"], source.replace(fault["find"], fault["replace"], 1))
    try:
        if not build(args.jobs, log, targets):
            return "caught (build)", set()
        if args.by_case:
            cases = failing_cases(ctest(args.jobs, left_out))
            return ("caught" if cases else "survived"), cases
        ran = tests_outcome(ctest(args.jobs, left_out, ["--stop-on-failure"]), log)
        return ("survived" if ran == "passed" else "caught"), set()
    finally:
        planter.restore()


def report_lists(results, by_case):
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
    return counts.get("stale", 0) == 0


def run_generated(args, planter, log, left_out, seconds):
    """Plants the seeded sample of generated faults; True when none survived."""
    sources = mutation_sample.program_sources(args.changed_since)
    mutants = mutation_sample.sample(sources["core"], args.sample, args.seed)
    mutants += mutation_sample.sample(sources["widgets"], args.gui_sample, args.seed)
    print(f"seed {args.seed}: {len(mutants)} faults", flush=True)
    sampler = mutation_sample.Sampler(planter, log, args.jobs, left_out, seconds)
    results = sampler.run(mutants, args.by_case)
    report_by_case([(mutation_sample.describe(mutant, line), cases)
                    for mutant, line, _outcome, cases, _spent in results if cases])
    return mutation_sample.report(results)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", action="append", default=[],
                        help="only this list (file name without .txt); may repeat")
    parser.add_argument("--fault", action="append", default=[],
                        help="only the fault of this name; may repeat")
    parser.add_argument("--sample", type=int, default=0,
                        help="generated faults at this many sites of the Qt-free code and cli")
    parser.add_argument("--gui-sample", type=int, default=0,
                        help="generated faults at this many sites of the widgets")
    parser.add_argument("--seed", type=int, default=1, help="the seed of the sample")
    parser.add_argument("--changed-since", metavar="REV",
                        help="sample only files changed since this git revision")
    parser.add_argument("-j", "--jobs", type=int, default=2, help="build and test jobs")
    parser.add_argument("--by-case", action="store_true",
                        help="run every test for each fault and name the failing cases")
    args = parser.parse_args()

    planter = Planter()
    planter.on_signals()
    log_path = os.path.join(ROOT, "build", "mutation_run.log")
    os.makedirs(os.path.dirname(log_path), exist_ok=True)
    try:
        with open(log_path, "w", encoding="utf-8") as log:
            if not build(args.jobs, log):
                sys.exit(f"the unchanged tree does not build: see {log_path}")
            left_out, seconds = failing_before(args.jobs, log)
            if left_out:
                print(f"left out, failing before any fault is planted: {' '.join(left_out)}",
                      flush=True)
            if args.sample or args.gui_sample:
                whole = run_generated(args, planter, log, left_out, seconds)
            else:
                whole = run_lists(args, planter, log, left_out)
            build(args.jobs, log)  # leave the build matching the restored tree
    finally:
        planter.close()
    return 0 if whole else 1


if __name__ == "__main__":
    sys.exit(main())
