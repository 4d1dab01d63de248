#!/usr/bin/python3
"""Reads the output of a Windows program run under the heap checks of the
tests (with the Wine messages of every process it started, each line after
its process and thread number) and names what fails it:

- a heap report: Wine's own ("err:heap:" lines), the quarantine's ("heap
  guard: ..." on the debug channel) or a checkpoint's ("heap damaged by
  ..."). Every report counts: the checks look at whole heaps only at quiet
  moments, when no other thread of the process is freeing memory
  (scripts/heap-check.sh);
- a self-test of the checks that did not prove them. Every program under
  the checks writes into the first bytes of one freed block and the last
  byte of another before anything else and runs its checkpoint after
  100,000 allocations and frees (host/HeapCheck.h); the reports between
  its "heap guard self-test begins" and "... ends" are expected, and there
  must be one of its checkpoint and one of the quarantine for each write,
  at the byte written, all naming the program. The test program itself, and every
  host it started under a name the checks cover, must have such a
  self-test: a checkpoint silenced, a quarantine bypassed or checks that
  are off fail the run here.

usage: heap_reports.py LOG   prints the first failure, if any, and exits 1
                             when there is one. The programs the checks
                             cover are named in SNAP_HEAP_CHECKED_PROGRAMS."""
import os
import re
import sys

# Wine's messages: "<pid>:<tid>:<class>:<channel>:<function> <text>".
WINE_LINE = re.compile(r"^([0-9a-f]{4}):[0-9a-f]{4}:(\w+):(\w+):(\S+) ?(.*)$")
HOST_STARTED = re.compile(r"^\[host\] (\S+) is process ([0-9a-f]+)")
TEST_STARTED = re.compile(r"^\[ RUN +\] (\S+)")
SELF_TEST = re.compile(r"^heap guard self-test (begins|ends) in (\S+)$")
SELF_TEST_CHECKPOINT = "heap damaged by the heap guard's self-test in "
GUARD_WRITTEN = re.compile(r"^heap guard: (\S+): a block of (\d+) bytes freed by \S+ was written at byte (\d+) ")
# (block size, first byte written) of each write of the self-test.
SELF_TEST_WRITES = {(64, 0), (37, 36)}


def debug_text(quoted):
    """The text of an OutputDebugStringA message as Wine quotes it."""
    text = quoted.strip()
    if text.startswith('"') and text.endswith('"'):
        text = text[1:-1]
    text = re.sub(r"\\x([0-9a-fA-F]{2})", lambda m: chr(int(m.group(1), 16)), text)
    return text.replace("\\n", "\n").replace('\\"', '"').replace("\\\\", "\\").strip()


def messages(path):
    """(process, kind, text, line, test running) for each line that matters:
    kind is "report", "begins", "ends" or "host" (a host the program
    started, text its name)."""
    test = None
    with open(path, errors="replace") as log:
        for raw in log:
            line = raw.strip()
            started = HOST_STARTED.match(line)
            if started:
                yield started.group(2).rjust(4, "0"), "host", started.group(1), line, test
                continue
            running = TEST_STARTED.match(line)
            if running:
                test = running.group(1)
                continue
            wine = WINE_LINE.match(line)
            if not wine:
                continue
            process, level, channel, function, rest = wine.groups()
            if level == "err" and channel == "heap":
                yield process, "report", line, line, test
            elif channel == "debugstr" and function.startswith("OutputDebugString"):
                text = debug_text(rest)
                marker = SELF_TEST.match(text)
                if marker:
                    yield process, marker.group(1), marker.group(2), line, test
                elif text.startswith("heap guard: ") or text.startswith("heap damaged by "):
                    yield process, "report", text, line, test


def checked_programs():
    return set((os.environ.get("SNAP_HEAP_CHECKED_PROGRAMS") or "").split())


def failures(path, checked=None):
    """(process, test running, why) of each failure of a log, in order; the
    process is Wine's number, or None for what the log as a whole lacks."""
    checked = checked_programs() if checked is None else checked
    found, hosts, open_tests, proven = [], {}, {}, {}
    for process, kind, text, line, test in messages(path):
        if kind == "host":
            hosts[process] = text
        elif kind == "begins":
            open_tests[process] = {"program": text, "checkpoint": False, "guard": set()}
        elif kind == "ends":
            self_test = open_tests.pop(process, None)
            if self_test is None:
                found.append((process, test, "a self-test of the heap checks ended that never began"))
            elif self_test["checkpoint"] and self_test["guard"] >= SELF_TEST_WRITES:
                proven[process] = self_test["program"]
            else:
                missed = sorted(SELF_TEST_WRITES - self_test["guard"])
                found.append((process, test, "the heap checks' self-test in %s went unreported: %s" % (
                    self_test["program"],
                    "its checkpoint said nothing" if not self_test["checkpoint"]
                    else "the quarantine missed the write at byte %d of a block of %d bytes" % (
                        missed[0][1], missed[0][0]))))
        elif process in open_tests:
            program = open_tests[process]["program"]
            if text == SELF_TEST_CHECKPOINT + program:
                open_tests[process]["checkpoint"] = True
            else:
                written = GUARD_WRITTEN.match(text)
                if written and written.group(1) == program:
                    open_tests[process]["guard"].add((int(written.group(2)), int(written.group(3))))
        else:
            found.append((process, test, "heap report: " + text))
    for process, self_test in open_tests.items():
        found.append((process, None, "the heap checks' self-test in %s never ended" % self_test["program"]))
    if not any(process not in hosts for process in proven):
        found.append((None, None, "no self-test of the heap checks: the program ran without them"))
    for process, name in hosts.items():
        if name in checked and process not in proven:
            found.append((process, None, "no self-test of the heap checks in %s: it ran without them" % name))
    return found, hosts


def main():
    found, _ = failures(sys.argv[1])
    if found:
        print(found[0][2])
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
