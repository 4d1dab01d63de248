#!/usr/bin/python3
"""Sums the GoogleTest XML reports of one test run into one line.

A test program that crashed or hung writes no report; ctest names it, and
this summary counts the programs that left no report as failures too."""
import glob
import os
import sys
import xml.etree.ElementTree as ET

results = sys.argv[1]
passed = failed = skipped = 0
failures = []
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
        else:
            passed += 1
expected = [line.strip() for line in open(os.path.join(results, "programs.txt"))] \
    if os.path.exists(os.path.join(results, "programs.txt")) else []
for program in expected:
    if not os.path.exists(os.path.join(results, program + ".xml")):
        failed += 1
        failures.append("%s: no report (crashed, hung or did not run)" % program)
print("\n==== test summary: %d passed, %d failed, %d skipped" % (passed, failed, skipped))
for f in failures:
    print("  FAILED: " + f)
sys.exit(1 if failed else 0)
