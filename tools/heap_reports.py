#!/usr/bin/python3
"""Reads the output of a Windows program run under the heap validation of
the tests and names its heap reports (Wine's "err:heap:" lines), leaving out
one kind that Wine's own checker makes up:

  wine-delayed-free-race: "free block overwritten" for a block reported no
  more than MAX_RACE_REPORTS times. With free checking on, Wine 8's ntdll
  (heap_delay_free) marks a freed block dead and fills it with its pattern
  outside the heap lock; another thread whose heap call validates the whole
  heap meanwhile finds the block dead but not yet filled. The fill ends a
  moment later, so no later validation reports the block again. A block
  really written after its free stays in the ring of pending frees for the
  next 1,024 frees and is reported by every heap call until then.

usage: heap_reports.py LOG   prints the first report that counts, if any,
                             and exits 1 when there is one."""
import re
import sys

MAX_RACE_REPORTS = 3
REPORT = re.compile(r"^(?:[0-9a-f]{4}:)?[0-9a-f]{4}:err:heap:(\S+) (.*)$")
OVERWRITTEN = re.compile(r"heap (\S+), block (\S+): free block overwritten")


def reports(path):
    """(line, counts, left out) of a log: every report line, and those of
    Wine's delayed-free race."""
    lines = []
    with open(path, errors="replace") as log:
        for line in log:
            if REPORT.match(line.strip()):
                lines.append(line.strip())
    per_block = {}
    for line in lines:
        found = OVERWRITTEN.search(line)
        if found:
            per_block[found.groups()] = per_block.get(found.groups(), 0) + 1
    counted, left_out = [], []
    for line in lines:
        found = OVERWRITTEN.search(line)
        if found and per_block[found.groups()] <= MAX_RACE_REPORTS:
            left_out.append(line)
        else:
            counted.append(line)
    return counted, left_out


def main():
    counted, left_out = reports(sys.argv[1])
    for line in left_out:
        print("left out (wine-delayed-free-race): " + line)
    if counted:
        print("heap report: " + counted[0])
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
