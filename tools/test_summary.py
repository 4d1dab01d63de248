#!/usr/bin/python3
"""Sums the GoogleTest XML reports of one test run into one line.

A test program that crashed or hung writes no report; ctest names it, and
this summary counts the programs that left no report as failures too. A
program whose run printed a heap report, or whose checks did not prove
themselves in its self-test (heap/<name>.log, kept when the Windows
programs run under the heap validation; tools/heap_reports.py), fails as
well: the summary names the program, the process that made the report
(the test program or the host it started) and the test that was running. Programs that could
not run on this machine leave a report whose cases are skipped with the
reason, which is printed. The summary ends with the ten test programs that
took longest (ctest's reports in ctest/*.xml), so that a slow one is seen
when it lands."""
import glob
import os
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import heap_reports  # noqa: E402

def heap_failures(results):
    """One line per log that fails the heap checks (tools/heap_reports.py):
    its first failure, the process it came from (the test program or the
    host it started) and the test that was running."""
    failures = []
    for path in sorted(glob.glob(os.path.join(results, "heap", "*.log"))):
        program = os.path.basename(path)[:-len(".log")]
        found, hosts = heap_reports.failures(path)
        if found:
            process, test, why = found[0]
            origin = " from %s" % hosts.get(process, program) if process else ""
            where = " during %s" % test if test else ""
            failures.append("%s: %s%s%s" % (program, why, origin, where))
    return failures


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
heap = heap_failures(results)
failed += len(heap)
failures += heap
print("\n==== test summary: %d passed, %d failed, %d skipped" % (passed, failed, skipped))
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
