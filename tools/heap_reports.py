#!/usr/bin/python3
"""Reads the output of a Windows program run under the heap checks of the
tests and names its heap reports (Wine's "err:heap:" lines). Every report
counts: the checks validate whole heaps only at quiet moments, when no
other thread of the process is freeing memory (scripts/heap-check.sh), so
Wine's checker cannot mistake a block being freed for a damaged one.

usage: heap_reports.py LOG   prints the first report, if any, and exits 1
                             when there is one."""
import re
import sys

REPORT = re.compile(r"^(?:[0-9a-f]{4}:)?[0-9a-f]{4}:err:heap:(\S+) (.*)$")


def reports(path):
    """(reports, left out) of a log: every report line, and none left out."""
    lines = []
    with open(path, errors="replace") as log:
        for line in log:
            if REPORT.match(line.strip()):
                lines.append(line.strip())
    return lines, []


def main():
    counted, _ = reports(sys.argv[1])
    if counted:
        print("heap report: " + counted[0])
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
