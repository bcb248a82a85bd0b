"""Which test programs a change to one source file can reach, read from the
build graph: ninja's own record of what is built from what, followed from
the source through its object, the libraries and programs linked from it,
and the programs that run those (a test that starts sorrel-cli depends on
it in the graph, too)."""

import json
import os
import subprocess


def ninja_outputs(build_dir, nodes):
    """The direct outputs of each node, as `ninja -t query` names them."""
    shown = subprocess.run(["ninja", "-C", build_dir, "-t", "query", *nodes], capture_output=True,
                           text=True, check=True).stdout
    outputs = set()
    in_outputs = False
    for line in shown.splitlines():
        if not line.startswith(" "):
            in_outputs = False
        elif line.strip() == "outputs:":
            in_outputs = True
        elif in_outputs and line.startswith("    "):
            outputs.add(line.strip().lstrip("| "))
    return outputs


def reached(build_dir, source):
    """Every node built, directly or not, from `source`, as absolute paths."""
    seen = set()
    frontier = {source}
    while frontier:
        frontier = ninja_outputs(build_dir, sorted(frontier)) - seen
        seen |= frontier
    return {os.path.normpath(os.path.join(build_dir, node)) for node in seen}


def test_programs(root, preset, left_out):
    """ctest's tests by the program each starts, for the programs built here."""
    shown = subprocess.run(["ctest", "--preset", preset, "--show-only=json-v1"], cwd=root,
                           capture_output=True, text=True, check=True)
    build_dir = os.path.join(root, "build") + os.sep
    programs = {}
    for test in json.loads(shown.stdout)["tests"]:
        command = test.get("command") or [""]
        if test["name"] not in left_out and command[0].startswith(build_dir):
            programs.setdefault(os.path.normpath(command[0]), []).append(test["name"])
    return programs


class Reach:
    """The test programs and tests each source file reaches, remembered."""

    def __init__(self, root, build_dir, programs):
        self.root = root
        self.build_dir = build_dir
        self.programs = programs
        self.known = {}

    def of(self, path):
        """[(program to build, its tests)] that a fault in `path` reaches."""
        if path not in self.known:
            nodes = reached(self.build_dir, os.path.join(self.root, path))
            self.known[path] = [(os.path.basename(program), self.programs[program])
                                for program in sorted(self.programs) if program in nodes]
        return self.known[path]
