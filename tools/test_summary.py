#!/usr/bin/python3
"""Sums the GoogleTest XML reports of one test run into one line.

A test program that crashed or hung writes no report; ctest names it, and
this summary counts the programs that left no report as failures too. A
program whose run printed a heap report (heap/<name>.log, kept when the
Windows programs run under the heap validation) fails as well: the summary
names the program, the process that made the report (the test program or
the host it started) and the test that was running. Programs that could
not run on this machine leave a report whose cases are skipped with the
reason, which is printed. The summary ends with the ten test programs that
took longest (ctest's reports in ctest/*.xml), so that a slow one is seen
when it lands."""
import glob
import os
import re
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import heap_reports  # noqa: E402

# Wine's heap messages: "<pid>:<tid>:err:heap:<function> <text>".
HEAP_REPORT = re.compile(r"^(?:([0-9a-f]{4}):)?[0-9a-f]{4}:err:heap:")
HOST_STARTED = re.compile(r"^\[host\] (\S+) is process ([0-9a-f]+)")
TEST_STARTED = re.compile(r"^\[ RUN +\] (\S+)")


def heap_failures(results):
    """One line per log with a heap report: the first report that counts and
    its origin; and the reports left out as Wine's own, each named."""
    failures, left_out = [], []
    for path in sorted(glob.glob(os.path.join(results, "heap", "*.log"))):
        program = os.path.basename(path)[:-len(".log")]
        counted, race = heap_reports.reports(path)
        left_out += ["%s: wine-delayed-free-race: %s" % (program, line) for line in race]
        hosts, test = {}, None
        with open(path, errors="replace") as log:
            for line in log:
                started = HOST_STARTED.match(line)
                if started:
                    hosts[started.group(2).rjust(4, "0")] = started.group(1)
                running = TEST_STARTED.match(line)
                if running:
                    test = running.group(1)
                report = HEAP_REPORT.match(line)
                if report and line.strip() in counted:
                    process = hosts.get(report.group(1), program)
                    where = " during %s" % test if test else ""
                    failures.append("%s: heap report from %s%s: %s" % (program, process, where, line.strip()))
                    break
    return failures, left_out


def slowest_programs(results, count=10):
    """(seconds, name) of the slowest tests that ctest ran, slowest first."""
    times = []
    for path in sorted(glob.glob(os.path.join(results, "ctest", "*.xml"))):
        try:
            root = ET.parse(path).getroot()
        except ET.ParseError:
            continue
        for case in root.iter("testcase"):
            times.append((float(case.get("time") or 0), case.get("name")))
    return sorted(times, reverse=True)[:count]


results = sys.argv[1]
passed = failed = skipped = 0
failures = []
skip_reasons = set()
for path in sorted(glob.glob(os.path.join(results, "*.xml"))):
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError:
        failures.append("%s: unreadable report" % os.path.basename(path))
        failed += 1
        continue
    for case in root.iter("testcase"):
        name = "%s.%s" % (case.get("classname"), case.get("name"))
        if case.find("failure") is not None:
            failed += 1
            failures.append(name)
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
            reason = case.find("skipped")
            if reason is not None and reason.get("message"):
                skip_reasons.add("%s: %s" % (os.path.basename(path)[:-4], reason.get("message")))
        else:
            passed += 1
expected = [line.strip() for line in open(os.path.join(results, "programs.txt"))] \
    if os.path.exists(os.path.join(results, "programs.txt")) else []
for program in expected:
    if not os.path.exists(os.path.join(results, program + ".xml")):
        failed += 1
        failures.append("%s: no report (crashed, hung or did not run)" % program)
heap, left_out = heap_failures(results)
failed += len(heap)
failures += heap
print("\n==== test summary: %d passed, %d failed, %d skipped" % (passed, failed, skipped))
for line in left_out:
    print("  LEFT OUT: " + line)
for reason in sorted(skip_reasons):
    print("  SKIPPED: " + reason)
for f in failures:
    print("  FAILED: " + f)
slowest = slowest_programs(results)
if slowest:
    print("  slowest test programs:")
    for seconds, name in slowest:
        print("  %8.1f s  %s" % (seconds, name))
sys.exit(1 if failed else 0)
