#!/usr/bin/python3
"""The rules of the test run's own checkers, which nothing else checks.

The heap log check (tools/heap_reports.py) fails a program whose checks did
not prove themselves (its self-test's checkpoint silent, the quarantine
bypassed, no self-test at all) or that reported damage; were it to pass
everything, the heap checks of every run would be blind and no run would
show it. The run processes (tools/runs.py): a second run of a checkout is
refused while the first lives, and what a run killed outright left behind
is ended, and nothing of a live run or of another checkout. A run
interrupted (scripts/run-guard.sh): Ctrl+C to make's process group ends it
within seconds with nothing left, whatever it was doing."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
TOOLS = os.path.join(ROOT, "tools")
sys.path.insert(0, TOOLS)
import heap_reports  # noqa: E402
import runs as run_processes  # noqa: E402


def said(process, text):
    """A program's debug message as Wine prints it under the heap checks."""
    return '%s:0011:warn:debugstr:OutputDebugStringA "%s\\n"' % (process, text)


def self_test(process, program, checkpoint=True, guard=((64, 0), (37, 36)), ends=True):
    lines = [said(process, "heap guard self-test begins in " + program)]
    for size, at in guard:
        lines.append(said(process, "heap guard: %s: a block of %d bytes freed by %s was written at byte %d "
                                   "after its free" % (program, size, program, at)))
    if checkpoint:
        lines.append(said(process, "heap damaged by the heap guard's self-test in " + program))
    if ends:
        lines.append(said(process, "heap guard self-test ends in " + program))
    return lines


PROGRAM = self_test("0020", "t.exe")
HOST = ["[host] SnapHost.exe is process 0030"]
UNCHECKED_HOST = ["[host] SnapHostOutsideHeapValidation.exe is process 0040"]
WINE_REPORT = ["0020:0024:err:heap:validate_used_block heap 00B70000, block 00B76C60: free block overwritten"]
CHECKPOINT_REPORT = [said("0020", "heap damaged by the end of A.B in t.exe")]


class HeapLogCheck(unittest.TestCase):
    CASES = [
        ("a proven self-test and nothing else", PROGRAM, True),
        ("the self-test's checkpoint silenced", self_test("0020", "t.exe", checkpoint=False), False),
        ("the quarantine bypassed", self_test("0020", "t.exe", guard=()), False),
        ("the quarantine blind to a block's last byte", self_test("0020", "t.exe", guard=((64, 0),)), False),
        ("the quarantine's report of the last byte off by one",
         self_test("0020", "t.exe", guard=((64, 0), (37, 35))), False),
        ("no self-test: the checks off", ["[ RUN      ] A.B"], False),
        ("a self-test that never ended", self_test("0020", "t.exe", ends=False), False),
        ("a report of Wine's after the self-test", PROGRAM + WINE_REPORT, False),
        ("a checkpoint's report after it", PROGRAM + CHECKPOINT_REPORT, False),
        ("a host under the checks, proven", PROGRAM + HOST + self_test("0030", "SnapHost.exe"), True),
        ("a host under the checks without a self-test", PROGRAM + HOST, False),
        ("a host whose checkpoint is silenced", PROGRAM + HOST + self_test("0030", "SnapHost.exe", checkpoint=False),
         False),
        ("a host outside the checks", PROGRAM + UNCHECKED_HOST, True),
    ]

    def test_each_log(self):
        for what, lines, passes in self.CASES:
            with tempfile.NamedTemporaryFile("w", suffix=".log") as log:
                log.write("\n".join(lines) + "\n")
                log.flush()
                found, _ = heap_reports.failures(log.name, {"SnapHost.exe", "t.exe"})
            self.assertEqual(passes, not found, "%s: %s" % (what, found))


def runs(*arguments):
    return subprocess.run([sys.executable, os.path.join(TOOLS, "runs.py")] + list(arguments),
                          capture_output=True, text=True)


class RunProcesses(unittest.TestCase):
    def setUp(self):
        self.checkout = tempfile.mkdtemp()
        self.started = []

    def tearDown(self):
        for process in self.started:
            process.kill()
            process.wait()
        shutil.rmtree(self.checkout)

    def start(self, mark=None):
        environment = dict(os.environ)
        environment.pop("SNAP_RUN", None)
        if mark is not None:
            environment["SNAP_RUN"] = mark
        process = subprocess.Popen(["sleep", "30"], env=environment)
        self.started.append(process)
        return process

    def wait_gone(self, process):
        for _ in range(100):
            if process.poll() is not None:
                return True
            time.sleep(0.05)
        return False

    def test_a_second_run_is_refused_while_the_first_lives(self):
        first = self.start()
        claimed = runs("claim", self.checkout, "test", str(first.pid))
        self.assertEqual(0, claimed.returncode, claimed.stderr)
        self.assertTrue(claimed.stdout.startswith("%s|test|%d|" % (self.checkout, first.pid)))
        second = self.start()
        refused = runs("claim", self.checkout, "test", str(second.pid))
        self.assertEqual(1, refused.returncode)
        self.assertIn("already running in this checkout (process %d" % first.pid, refused.stderr)
        self.assertEqual(0, runs("claim", self.checkout, "soak", str(second.pid)).returncode, "another script")
        first.kill()
        first.wait()
        self.assertEqual(0, runs("claim", self.checkout, "test", str(second.pid)).returncode, "the first is gone")

    def test_what_a_run_killed_outright_left_is_ended_and_nothing_else(self):
        owner = self.start()
        live = runs("claim", self.checkout, "test", str(owner.pid)).stdout.strip()
        killed = subprocess.Popen(["true"])
        killed.wait()
        orphan = self.start("%s|test|%d|1" % (self.checkout, killed.pid))
        of_live_run = self.start(live)
        elsewhere = self.start("%s-other|test|999999|1" % self.checkout)
        self.assertEqual(0, runs("end-orphans", self.checkout).returncode)
        self.assertTrue(self.wait_gone(orphan))
        self.assertIsNone(of_live_run.poll())
        self.assertIsNone(elsewhere.poll())
        self.assertEqual(0, runs("end", live).returncode)
        self.assertTrue(self.wait_gone(of_live_run))
        self.assertIsNone(elsewhere.poll())


# A run in the shapes of scripts/test.sh: a display server stopped in order
# at the end, a job in the background beside the steps, and a step in the
# foreground's place that outlives Ctrl+C (as Wine's programs do). Its
# processes carry its own mark, not that of a test run around this test:
# they last a minute at most.
FAKE_RUN = """#!/usr/bin/env bash
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/run-guard.sh"
run_guard fake "$@"
"$ROOT/bin/Xvfb" 60 &
run_at_end "kill $!"
(sleep 60; echo never) &
case $1 in
  step) run_step bash -c 'trap "" INT; touch "$0/ready"; sleep 60' "$ROOT" || exit 1 ;;
  job) touch "$ROOT/ready"; wait $! ;;
esac
"""


class RunInterrupted(unittest.TestCase):
    def setUp(self):
        self.checkout = tempfile.mkdtemp()
        for folder in ("scripts", "tools", "bin"):
            os.mkdir(os.path.join(self.checkout, folder))
        shutil.copy(os.path.join(ROOT, "scripts", "run-guard.sh"), os.path.join(self.checkout, "scripts"))
        shutil.copy(os.path.join(TOOLS, "runs.py"), os.path.join(self.checkout, "tools"))
        shutil.copy("/bin/sleep", os.path.join(self.checkout, "bin", "Xvfb"))
        self.write("scripts/install-packages.sh", "#!/bin/sh\nexit 0\n")
        self.write("scripts/fake.sh", FAKE_RUN)
        self.write("Makefile", "fake:\n\t@scripts/fake.sh $(STAGE)\n")
        self.make = None

    def tearDown(self):
        if self.make is not None and self.make.poll() is None:
            os.killpg(self.make.pid, signal.SIGKILL)
            self.make.wait()
        for pid in self.left():
            os.kill(pid, signal.SIGKILL)
        shutil.rmtree(self.checkout)

    def write(self, name, text):
        path = os.path.join(self.checkout, name)
        with open(path, "w") as out:
            out.write(text)
        os.chmod(path, 0o755)

    def left(self):
        return run_processes.marked(lambda mark: mark.startswith(self.checkout + "|"))

    def wait_for(self, condition, seconds):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                return False
            time.sleep(0.05)
        return True

    def test_ctrl_c_ends_the_run_and_all_it_started(self):
        # A run started in the background of a script starts with Ctrl+C
        # ignored.
        for stage, ignored in (("step", False), ("job", False), ("job", True)):
            with self.subTest(stage=stage, ignored=ignored):
                ready = os.path.join(self.checkout, "ready")
                self.make = subprocess.Popen(
                    ["make", "-s", "-C", self.checkout, "fake", "STAGE=" + stage], start_new_session=True,
                    stdout=subprocess.DEVNULL,
                    preexec_fn=(lambda: signal.signal(signal.SIGINT, signal.SIG_IGN)) if ignored else None)
                self.assertTrue(self.wait_for(lambda: os.path.exists(ready), 30), "the run did not start")
                os.remove(ready)
                os.killpg(self.make.pid, signal.SIGINT)
                # Seconds, where a run held by a step lasted as long as the step.
                self.assertTrue(self.wait_for(lambda: self.make.poll() is not None and not self.left(), 15),
                                "left running: %s" % ["%d %s" % (pid, runs_command(pid)) for pid in self.left()])


def runs_command(pid):
    try:
        with open("/proc/%d/cmdline" % pid) as cmdline:
            return cmdline.read().replace("\0", " ")
    except OSError:
        return "?"


if __name__ == "__main__":
    unittest.main()
