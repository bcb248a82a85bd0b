"""The generated run of scripts/mutation_run.py: faults generated at the
sites scripts/mutation_sites.py finds, a seeded sample of them planted one
at a time, each rebuilt and tested only where the build graph says it can
matter."""

import json
import os
import random
import subprocess
import time

import mutation_graph
import mutation_sites
from mutation_tools import (BUILD_DIR, ROOT, build, ctest, failing_cases, read_blocks,
                            tests_outcome)

EQUIVALENT_LIST = os.path.join(ROOT, "tests", "mutations", "equivalent.txt")
OUTCOMES = ("caught", "survived", "timed out", "build-failed", "equivalent")
WHOLE_FOLDERS = ("cli", "files")  # sorrel-cli and the files code, Qt or not


def changed_files(revision):
    """The files changed since `revision`, relative to the tree's root."""
    listed = subprocess.run(["git", "diff", "--name-only", revision, "--"], cwd=ROOT,
                            check=True, capture_output=True, text=True)
    return set(listed.stdout.split())


def program_sources(changed_since=None):
    """The program's own C++ sources, by budget: 'widgets' for those built
    with Qt Widgets outside sorrel-cli and the files code, 'core' for the
    rest; only those changed since `changed_since`, when given. Tests,
    benchmarks and fuzz targets are no sites."""
    changed = changed_files(changed_since) if changed_since else None
    with open(os.path.join(BUILD_DIR, "compile_commands.json"), encoding="utf-8") as handle:
        commands = json.load(handle)
    sources = {"core": set(), "widgets": set()}
    for entry in commands:
        path = os.path.relpath(entry["file"], ROOT)
        folder = path.split(os.sep)[0]
        if path.startswith("..") or folder in ("build", "tests", "bench", "fuzz"):
            continue
        if changed is not None and path not in changed:
            continue
        widgets = "QtWidgets" in entry["command"] and folder not in WHOLE_FOLDERS
        sources["widgets" if widgets else "core"].add(path)
    return {budget: sorted(paths) for budget, paths in sources.items()}


def sample(paths, count, seed):
    """`count` faults, the kind of fault drawn first so that the many
    figures of the tables do not crowd out the operators."""
    by_kind = {}
    for path in paths:
        with open(os.path.join(ROOT, path), encoding="utf-8") as handle:
            for mutant in mutation_sites.mutants(path, handle.read()):
                by_kind.setdefault(mutant.operator, []).append(mutant)
    chooser = random.Random(seed)
    kinds = sorted(by_kind)
    chosen = {}
    while len(chosen) < min(count, sum(len(found) for found in by_kind.values())):
        mutant = chooser.choice(by_kind[chooser.choice(kinds)])
        chosen.setdefault((mutant.path, mutant.start, mutant.replace), mutant)
    return sorted(chosen.values(), key=lambda mutant: (mutant.path, mutant.start))


def equivalent_sites():
    """(file, line as it stands, fault) of the faults judged equivalent."""
    if not os.path.isfile(EQUIVALENT_LIST):
        return set()
    return {(block["file"], block["line"], block["fault"])
            for block in read_blocks(EQUIVALENT_LIST, ("file", "line", "fault", "why"))}


def describe(mutant, line):
    shown = " ".join(mutant.original.split())
    replace = " ".join(mutant.replace.split())
    return f"{mutant.path}:{mutant.line}: {shown} -> {replace} ({mutant.operator}) | {line}"


class Sampler:
    """Plants each generated fault, builds what it touches and runs the
    tests that reach it."""

    def __init__(self, planter, log, jobs, left_out, seconds):
        self.planter = planter
        self.log = log
        self.jobs = jobs
        self.left_out = left_out
        self.seconds = seconds
        self.reach = mutation_graph.Reach(
            ROOT, BUILD_DIR, mutation_graph.test_programs(ROOT, "default", left_out))
        self.equivalent = equivalent_sites()

    def outcome(self, mutant, by_case):
        """One of OUTCOMES, and the failing cases with `by_case`."""
        with open(os.path.join(ROOT, mutant.path), encoding="utf-8") as handle:
            source = handle.read()
        fault = f"{mutant.original} -> {mutant.replace}"
        if (mutant.path, mutation_sites.site_line(source, mutant), fault) in self.equivalent:
            return "equivalent", set()
        reached = self.reach.of(mutant.path)
        if not reached:
            return "survived", set()  # no test program is built from this file
        self.planter.plant(mutant.path, mutation_sites.planted(source, mutant))
        try:
            if by_case:
                if not build(self.jobs, self.log, [program for program, _tests in reached]):
                    return "build-failed", set()
                cases = failing_cases(ctest(self.jobs, self.left_out,
                                            only=[t for _program, tests in reached for t in tests]))
                timed_out = cases == {"(timed out)"}
                return ("timed out" if timed_out else "caught" if cases else "survived"), cases
            return self.first_failure(reached), set()
        finally:
            self.planter.restore()

    def first_failure(self, reached):
        """Builds and runs one test program after the other, the quickest
        first, and stops at the first that fails: a caught fault rarely
        costs more than one link and one test run."""
        def seconds(program):
            return sum(self.seconds.get(test, 60) for test in program[1])

        for program, tests in sorted(reached, key=seconds):
            if not build(self.jobs, self.log, [program]):
                return "build-failed"
            limit = 60 + 3 * seconds((program, tests))
            ran = tests_outcome(ctest(self.jobs, self.left_out, only=tests), self.log, limit)
            if ran != "passed":
                return {"failed": "caught"}.get(ran, ran)
        return "survived"

    def run(self, mutants, by_case):
        results = []
        for mutant in mutants:
            started = time.monotonic()
            with open(os.path.join(ROOT, mutant.path), encoding="utf-8") as handle:
                line = mutation_sites.site_line(handle.read(), mutant)
            self.log.write(f"\n===== {describe(mutant, line)}\n")
            self.log.flush()
            outcome, cases = self.outcome(mutant, by_case)
            spent = time.monotonic() - started
            results.append((mutant, line, outcome, cases, spent))
            caught_by = f" by {' '.join(sorted(cases))}" if cases else ""
            print(f"{outcome:12} {describe(mutant, line)}  [{spent:.0f} s]{caught_by}",
                  flush=True)
        return results


def report(results):
    """The table per folder, the survivors, the seconds per fault."""
    table = {}
    for mutant, _line, outcome, _cases, _spent in results:
        table.setdefault(mutant.path.split(os.sep)[0], dict.fromkeys(OUTCOMES, 0))[outcome] += 1
    print(f"{'folder':12}" + "".join(f"{outcome:>14}" for outcome in OUTCOMES))
    totals = dict.fromkeys(OUTCOMES, 0)
    for folder, counts in sorted(table.items()):
        print(f"{folder:12}" + "".join(f"{counts[outcome]:>14}" for outcome in OUTCOMES))
        for outcome in OUTCOMES:
            totals[outcome] += counts[outcome]
    print(f"{'all':12}" + "".join(f"{totals[outcome]:>14}" for outcome in OUTCOMES))
    for mutant, line, outcome, _cases, _spent in results:
        if outcome == "survived":
            print(f"survived: {describe(mutant, line)}")
    caught = totals["caught"] + totals["timed out"]
    judged = caught + totals["survived"]
    spent = [spent for *_rest, outcome, _cases, spent in results if outcome != "equivalent"]
    print(f"{caught} of {judged} faults that build caught "
          f"({100.0 * caught / judged if judged else 0.0:.0f} %); "
          f"{sum(spent) / len(spent) if spent else 0.0:.0f} s per fault")
    return totals["survived"] == 0
