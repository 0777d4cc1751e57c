#!/usr/bin/env python3
"""Prints the results of scripts/bench as Markdown tables: minimum, median
and maximum of each figure beside its floor (start-up on the ordinary and the
large machines, the install), the scan's growth, the scans in-process, the
install's stages, the registry generation and the sizes of the executables.

usage: bench_table.py <results.txt> <sizes.txt>
"""
import statistics
import sys
from collections import defaultdict


def fields(words):
    """The key=value words of a result line as a dict."""
    return dict(word.split("=", 1) for word in words if "=" in word)


def read_results(path):
    timings = defaultdict(list)  # (kind, label) -> [ms]
    extra = defaultdict(dict)    # (kind, label) -> last key=value fields
    files = defaultdict(set)     # install label -> files counted
    for line in open(path, encoding="utf-8"):
        words = line.split()
        if not words:
            continue
        kind = words[0]
        if kind in ("startup", "install", "stage", "scan", "walk") and len(words) >= 4:
            timings[(kind, words[1])].append(float(words[3]))
            extra[(kind, words[1])] = fields(words[4:])
            if kind == "install":
                files[words[1]].add(fields(words[4:]).get("files", "?"))
        elif kind in ("generate", "cpu") and len(words) >= 2:
            extra[(kind, words[1])] = fields(words[2:])
        elif kind == "payload":
            extra[(kind, "")] = fields(words[1:])
        elif kind in ("generate-wall", "regimport", "phase") and len(words) == 3:
            extra[(kind, words[1])] = {"value": words[2]}
    return timings, extra, files


def ms(value):
    return "%.0f" % value if value >= 100 else "%.1f" % value


def spread(values):
    if not values:
        return ["-", "-", "-"]
    return [ms(min(values)), ms(statistics.median(values)), ms(max(values))]


def median(values):
    return statistics.median(values) if values else float("nan")


def table(header, rows):
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---" for _ in header) + "|")
    for row in rows:
        print("| " + " | ".join(str(cell) for cell in row) + " |")
    print()


def count(text):
    return "{:,}".format(int(text)) if text.isdigit() else text


def startup_tables(timings, extra):
    machines = [m for m in ("ordinary", "1x", "2x", "4x") if ("startup", "setup-" + m) in timings]
    scales = [m for m in machines if m != "ordinary"]
    runs = len(timings[("startup", "setup-" + machines[0])]) if machines else 0
    print("### Start-up: CreateProcess to the dialog visible (ms, %d runs)\n" % runs)
    rows = []
    for machine in machines:
        setup, floor = timings[("startup", "setup-" + machine)], timings[("startup", "floor-" + machine)]
        generated = extra[("generate", machine)]
        rows.append([machine, count(generated.get("keys", "?")), count(generated.get("products", "?")),
                     count(generated.get("scan_calls", "?"))] + spread(setup) + spread(floor)
                    + [ms(median(setup) - median(floor)), "%.2fx" % (median(setup) / median(floor))])
    table(["Machine", "Keys", "Products", "Registry calls of the scan", "SetUp min", "SetUp median", "SetUp max",
           "Floor min", "Floor median", "Floor max", "SetUp - floor (median)", "SetUp / floor"], rows)

    print("### Growth of the scan with the registry (medians, ms)\n")
    rows = []
    base = scales[0] if scales else None
    for scale in scales:
        setup, floor = median(timings[("startup", "setup-" + scale)]), median(timings[("startup", "floor-" + scale)])
        base_setup = median(timings[("startup", "setup-" + base)])
        base_floor = median(timings[("startup", "floor-" + base)])
        calls = int(extra[("generate", scale)].get("scan_calls", "0"))
        rows.append([scale, "{:,}".format(calls), ms(setup), "%.2f" % (setup / base_setup), ms(setup - floor),
                     "%.2f" % ((setup - floor) / (base_setup - base_floor)),
                     "%.1f" % ((setup - floor) * 1000 / calls) if calls else "-"])
    table(["Registry", "Registry calls of the scan", "Start-up", "Ratio to 1x", "Start-up - floor", "Ratio to 1x",
           "us per call"], rows)

    rows = []
    runs = 0
    for machine in ("ordinary", "1x"):
        if ("scan", machine) not in timings:
            continue
        scan, walk = timings[("scan", machine)], timings.get(("walk", machine), [])
        runs = len(scan)
        calls = int(extra[("generate", machine)].get("scan_calls", "0"))
        rows.append([machine, "ScanInstalledReleases (one walk per value name)", "{:,}".format(calls)] + spread(scan)
                    + ["%.1f" % (median(scan) * 1000 / calls) if calls else "-"])
        if walk:
            walk_calls = int(extra[("walk", machine)].get("calls", "0"))
            rows.append([machine, "One walk reading both values (same products: %s)"
                         % extra[("walk", machine)].get("products", "?"), "{:,}".format(walk_calls)] + spread(walk)
                        + ["%.1f" % (median(walk) * 1000 / walk_calls) if walk_calls else "-"])
    if rows:
        print("### The scan in-process (ms, %d runs)\n" % runs)
        table(["Machine", "Work", "Registry calls", "Min", "Median", "Max", "us per call"], rows)
    cpu = extra.get(("cpu", "1x"))
    if cpu:
        print("CPU time of the 1x scans (process of its own, its start and end included): scan %s ms in-process, "
              "the process %s ms wall and %s ms CPU, the wineserver %s ms CPU.\n"
              % (cpu.get("scan_ms", "?"), cpu.get("wall_ms", "?"), cpu.get("program_ms", "?"),
                 cpu.get("server_ms", "?")))


def install_tables(timings, extra, files):
    setup, floor = timings[("install", "setup")], timings[("install", "floor")]
    payload = extra.get(("payload", ""), {})
    print("### Install: Install click to the finished button (ms, %d runs; payload %s files, %s bytes)\n"
          % (len(setup), payload.get("files", "?"), "{:,}".format(int(payload.get("bytes", "0")))))
    table(["Program", "Files in the target folder", "Min", "Median", "Max"],
          [["SetUp.exe", ",".join(sorted(files["setup"]))] + spread(setup),
           ["Floor (bare_copy.exe, CopyFileA)", ",".join(sorted(files["floor"]))] + spread(floor),
           ["SetUp - floor (median)", "", "", ms(median(setup) - median(floor)), ""]])
    stages = [key[1] for key in timings if key[0] == "stage"]
    runs = len(timings[("stage", stages[0])]) if stages else 0
    print("### Install stages, timed in-process with the product code (ms, %d runs)\n" % runs)
    table(["Stage", "Min", "Median", "Max"], [[stage] + spread(timings[("stage", stage)]) for stage in stages])


def generation_table(extra):
    print("### Generating the registry (ms)\n")
    rows = []
    for machine in ("ordinary", "1x", "2x", "4x"):
        generated = extra.get(("generate", machine))
        if generated:
            rows.append(["bench_registry generate " + machine, generated.get("keys"), generated.get("created"),
                         generated.get("clear_ms"), generated.get("create_ms"),
                         extra[("generate-wall", machine)]["value"]])
    if ("regimport", "1x") in extra:
        rows.append(["regedit /s of the 1x keys (.reg file)", extra[("generate", "1x")].get("keys"),
                     extra[("generate", "1x")].get("keys"), "", "", extra[("regimport", "1x")]["value"]])
    table(["Generator", "Keys in the layout", "Keys written", "Removing the old keys", "Writing", "Process, wall"],
          rows)


def size_table(path):
    print("### Sizes (bytes)\n")
    rows = []
    for line in open(path, encoding="utf-8"):
        words = line.split("\t")
        if words[0] == "size":
            rows.append([words[1]] + ["{:,}".format(int(w)) for w in words[2:6]] + [words[6].strip()])
    table(["Program", "File", "Stripped", ".text", ".rsrc", "Imported DLLs (import table)"], rows)


def phase_table(extra):
    phases = [(key[1], int(value["value"])) for key, value in extra.items() if key[0] == "phase"]
    print("### Time of the Wine part of the run (s)\n")
    table([name for name, _ in phases] + ["total"], [[seconds for _, seconds in phases] +
                                                   [sum(seconds for _, seconds in phases)]])


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    timings, extra, files = read_results(sys.argv[1])
    startup_tables(timings, extra)
    install_tables(timings, extra, files)
    generation_table(extra)
    size_table(sys.argv[2])
    phase_table(extra)


if __name__ == "__main__":
    main()
