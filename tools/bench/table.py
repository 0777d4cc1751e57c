#!/usr/bin/env python3
"""Prints the results of scripts/bench as Markdown tables: minimum, median
and maximum of each time beside its floor's, the scan's growth with the
registry, and the sizes of the executables.

usage: table.py <results.txt> <sizes.txt>
"""
import statistics
import sys
from collections import defaultdict


def ms(value):
    return "%.0f" % value if abs(value) >= 100 else "%.1f" % value


def spread(values):
    return [ms(min(values)), ms(statistics.median(values)), ms(max(values))]


def table(header, rows):
    print("| " + " | ".join(header) + " |\n|" + "---|" * len(header))
    for row in rows:
        print("| " + " | ".join(str(cell) for cell in row) + " |")
    print()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    times, keys, files = defaultdict(list), {}, defaultdict(set)
    for words in (line.split() for line in open(sys.argv[1], encoding="utf-8")):
        if words[0] == "startup":
            times[words[1], words[2]].append(float(words[3]))
        elif words[0] == "install":
            times["install", words[1]].append(float(words[2]))
            files[words[1]].add(words[3])
        elif words[0] == "keys":
            keys[words[1]] = int(words[2])
    median = {key: statistics.median(values) for key, values in times.items()}
    above = {key[0]: median[key] - median[key[0], "floor"] for key in median if key[1] == "setup"}

    machines = [machine for machine in ("ordinary", "1x", "2x", "4x") if (machine, "setup") in times]
    print("### Start-up: from the start to the dialog shown (ms, %d runs)\n" % len(times[machines[0], "setup"]))
    table(["Machine", "Keys", "SetUp min", "SetUp median", "SetUp max", "Floor min", "Floor median", "Floor max",
           "SetUp - floor (median)", "SetUp / floor"],
          [[machine, "{:,}".format(keys[machine])] + spread(times[machine, "setup"]) + spread(times[machine, "floor"])
           + [ms(above[machine]), "%.2fx" % (median[machine, "setup"] / median[machine, "floor"])]
           for machine in machines])

    print("### Growth of the scan with the registry (medians, ms)\n")
    table(["Registry", "Keys", "Ratio to 1x", "Start-up", "Ratio to 1x", "Start-up - floor", "Ratio to 1x",
           "us per key"],
          [[scale, "{:,}".format(keys[scale]), "%.2f" % (keys[scale] / keys["1x"]), ms(median[scale, "setup"]),
            "%.2f" % (median[scale, "setup"] / median["1x", "setup"]), ms(above[scale]),
            "%.2f" % (above[scale] / above["1x"]), "%.1f" % (above[scale] * 1000 / keys[scale])]
           for scale in machines[1:]])

    setup, floor = times["install", "setup"], times["install", "floor"]
    print("### Install: from the Install click to the finished button (ms, %d runs)\n" % len(setup))
    table(["Program", "Files in the target folder", "Min", "Median", "Max"],
          [["SetUp.exe", ",".join(sorted(files["setup"]))] + spread(setup),
           ["Floor (bare_copy.exe, CopyFileA)", ",".join(sorted(files["floor"]))] + spread(floor),
           ["SetUp - floor (median)", "", "", ms(above["install"]), ""]])

    print("### Sizes (bytes)\n")
    table(["Program", "File", ".text", ".rsrc", "Imported DLLs"],
          [[words[0]] + ["{:,}".format(int(word)) for word in words[1:4]] + [words[4]]
           for words in (line.rstrip("\n").split("\t") for line in open(sys.argv[2], encoding="utf-8"))])


if __name__ == "__main__":
    main()
