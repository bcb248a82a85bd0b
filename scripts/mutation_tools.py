"""What the mutation runs share: running the build and the tests as child
processes that end with the run, and planting a fault in a source file that
is always put back."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD_DIR = os.path.join(ROOT, "build", "default")
SLOW_TESTS = "package_install"  # builds and unpacks the Debian package
TEST_TIMEOUT = 900  # seconds for one test run; a fault that hangs counts as caught

RUNNING = []  # the child process of run(), ended when the script is interrupted


def run(command, log, timeout=None):
    """Runs `command` in the source tree: its exit status, or None when it
    did not end within `timeout` seconds."""
    child = subprocess.Popen(command, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT,
                             start_new_session=True)
    RUNNING.append(child)
    try:
        return child.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
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
    return run(command + (["--target", *targets] if targets else []), log) == 0


def ctest(jobs, left_out, extra=(), only=()):
    """The ctest command for every test but the slow and the left-out ones,
    or for the tests in `only`."""
    chosen = ["-R", "|".join(f"^{name}$" for name in only)] if only else []
    return ["ctest", "--preset", "default", "-j", str(jobs), "-E",
            "|".join([SLOW_TESTS] + [f"^{name}$" for name in left_out]), *chosen, *extra]


def tests_outcome(command, log, timeout=TEST_TIMEOUT):
    """'passed', 'failed' or 'timed out' for one ctest run; its output goes
    to the log."""
    with tempfile.TemporaryFile("w+", encoding="utf-8", errors="replace") as output:
        status = run(command, output, timeout)
        output.seek(0)
        text = output.read()
    log.write(text)
    if status is None or "***Timeout" in text:
        return "timed out"
    return "passed" if status == 0 else "failed"


def failing_cases(command):
    """Every test case that fails, named as its framework prints it; a test
    program that fails without naming a case (a crash, a hang) is named
    itself."""
    try:
        result = subprocess.run([*command, "--output-on-failure"], cwd=ROOT,
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


def failing_before(jobs, log):
    """Tests that fail on the unchanged tree, which cannot tell a fault, and
    the seconds each of the others took."""
    result = subprocess.run(ctest(jobs, []), cwd=ROOT, capture_output=True, text=True,
                            timeout=TEST_TIMEOUT)
    log.write(result.stdout + result.stderr)
    failing = re.findall(r"^\s*\d+ - (\S+) \(", result.stdout, re.MULTILINE)
    seconds = {name: float(time) for name, time in re.findall(
        r"Test +#\d+: (\S+) \.+ +Passed +([\d.]+) sec", result.stdout)}
    return failing, seconds


def read_blocks(path, keys, spanning=()):
    """The blocks of a list file, each a dict of `keys`. Blocks are separated
    by blank lines, a line starting with '#' is a comment; a key in
    `spanning` may repeat to continue its text on a new line."""
    blocks = []
    block = {}

    def close_block(line_number):
        if not block:
            return
        missing = [key for key in keys if key not in block]
        if missing:
            sys.exit(f"{path}:{line_number}: block lacks {', '.join(missing)}")
        blocks.append(dict(block))
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
            if not colon or key not in keys:
                sys.exit(f"{path}:{number}: expected one of {', '.join(keys)}")
            if key in spanning:
                value = value[1:] if value.startswith(" ") else value
                block[key] = block[key] + "\n" + value if key in block else value
            else:
                block[key] = value.strip()
        close_block(number + 1)
    return blocks


class Planter:
    """Plants one fault at a time and always puts the file back."""

    def __init__(self):
        self.backup_dir = tempfile.mkdtemp(prefix="sorrel-mutation-")
        self.planted = None  # (path, backup) while a fault is in the tree

    def plant(self, relative_path, text):
        """Writes `text` as the file, keeping the original to put back."""
        path = os.path.join(ROOT, relative_path)
        backup = os.path.join(self.backup_dir, "original")
        shutil.copy2(path, backup)
        self.planted = (path, backup)
        with open(path, "w", encoding="utf-8") as handle:
            handle.write(text)

    def restore(self):
        if self.planted:
            path, backup = self.planted
            # Contents only: a fresh time stamp makes the next build recompile it.
            shutil.copyfile(backup, path)
            self.planted = None

    def close(self):
        self.restore()
        shutil.rmtree(self.backup_dir, ignore_errors=True)

    def on_signals(self):
        """Puts the file back and ends the children when the run is stopped."""

        def interrupted(signum, _frame):
            end_children()
            self.close()
            sys.exit(128 + signum)

        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(signum, interrupted)
