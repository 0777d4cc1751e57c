#!/usr/bin/env python3
"""Sums the GoogleTest XML reports of every suite and prints one line per
suite (with what it ran on and its seconds, from <suite>/ran_on.txt and
<suite>/seconds.txt where the suite wrote them), the failed test names, and
the closing line "N passed, N failed".

usage: summarize.py <results-dir> [suite=exitcode ...]
A suite whose program ended with a nonzero code but whose report shows no
failure (a crash, a missing report) counts as one failed test."""
import glob
import os
import sys
import xml.etree.ElementTree as ET


def main():
    results = sys.argv[1]
    exit_codes = dict(arg.split("=", 1) for arg in sys.argv[2:])
    total_passed = total_failed = 0
    suites = sorted({os.path.basename(os.path.dirname(p)) for p in glob.glob(os.path.join(results, "*", "*.xml"))}
                    | set(exit_codes))
    for suite in suites:
        passed = failed = skipped = 0
        failures = []
        for report in sorted(glob.glob(os.path.join(results, suite, "*.xml"))):
            try:
                root = ET.parse(report).getroot()
            except ET.ParseError:
                failed += 1
                failures.append(f"{os.path.basename(report)}: unreadable report")
                continue
            for case in root.iter("testcase"):
                if case.find("failure") is not None:
                    failed += 1
                    failures.append(f"{case.get('classname')}.{case.get('name')}")
                elif case.get("result") == "skipped" or case.find("skipped") is not None:
                    skipped += 1
                elif case.get("status", "run") == "run":
                    passed += 1
        code = exit_codes.get(suite, "0")
        if code != "0" and failed == 0:
            failed += 1
            failures.append(f"{suite}: exited with {code} without a failing test in its report")
        label, ran_on, seconds = suite, os.path.join(results, suite, "ran_on.txt"), os.path.join(results, suite, "seconds.txt")
        if os.path.exists(ran_on):
            with open(ran_on, encoding="utf-8") as file:
                label += f" ({file.read().strip()})"
        took = f" in {open(seconds).read().strip()} s" if os.path.exists(seconds) else ""
        print(f"  {label}: {passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else "") + took)
        for name in failures:
            print(f"    FAILED {name}")
        total_passed += passed
        total_failed += failed
    print(f"{total_passed} passed, {total_failed} failed")
    return 1 if total_failed or total_passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
