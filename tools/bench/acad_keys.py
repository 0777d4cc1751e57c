#!/usr/bin/env python3
"""Writes the AutoCAD keys of a bench machine as a .reg file (UTF-16, as
reg.exe imports it) and prints how many keys the machine has below the
AutoCAD root HKLM\\SOFTWARE\\Autodesk\\AutoCAD:
  ordinary        what a real machine has: releases 2010, 2012 ... 2020,
                  AutoCAD and AutoCAD Architecture of each, and below each
                  product key the 14 settings keys AutoCAD keeps there, which
                  the scan never visits (it stops at a key with the value)
  <scale> [from]  the large machine: 20 releases with 3 products each, and
                  beside the products 40 groups of 1 + 49 settings keys per
                  release key and scale unit, which hold neither value the
                  scan looks for, so that it walks them all; no machine looks
                  like this, it shows how the scan grows with the keys; with
                  <from>, only the keys that <scale> adds to the machine <from>
usage: acad_keys.py <file.reg> ordinary | <scale> [<from>]
"""
import sys

ROOT = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD"
RELEASES = [(2007, "R17.0", "5"), (2008, "R17.1", "6"), (2009, "R17.2", "7"), (2010, "R18.0", "8"),
            (2011, "R18.1", "9"), (2012, "R18.2", "A"), (2013, "R19.0", "B"), (2014, "R19.1", "D"),
            (2015, "R20.0", "E"), (2016, "R20.1", "F"), (2017, "R21.0", "0"), (2018, "R22.0", "1"),
            (2019, "R23.0", "2"), (2020, "R23.1", "3"), (2021, "R24.0", "4"), (2022, "R24.1", "5"),
            (2023, "R24.2", "6"), (2024, "R24.3", "7"), (2025, "R25.0", "8"), (2026, "R25.1", "9")]
PRODUCTS = [("001", "AutoCAD"), ("004", "AutoCAD Architecture"), ("005", "AutoCAD Mechanical")]
SETTINGS = ["AdLM", "Applications", "Applications\\AcadVBA", "Applications\\AcDgnLS", "Applications\\AcIdViewObj",
            "AutodeskApps", "Capabilities", "Components", "FileNavExtensions", "Install", "Language Packs",
            "Migration", "ObjectDBX", "SpecialFolders"]


def machine(kind, start=0):
    """The machine's keys and their values, parents first."""
    ordinary = kind == "ordinary"
    scale = 0 if ordinary else int(kind)
    if start == 0:
        yield ROOT, {}
    for year, release, letter in RELEASES:
        if ordinary and year not in (2010, 2012, 2014, 2016, 2018, 2020):
            continue
        key = ROOT + "\\" + release
        if start == 0:
            yield key, {"CurVer": f"ACAD-{letter}001:804"}
            for code, name in PRODUCTS[:2] if ordinary else PRODUCTS:
                product, folder = f"{key}\\ACAD-{letter}{code}:804", f"C:\\Program Files\\Autodesk\\{name} {year}\\"
                yield product, {"AcadLocation": folder, "ProductName": f"{name} {year} - Simplified Chinese",
                                "Language": "Simplified Chinese"}
                for setting in SETTINGS if ordinary else []:
                    yield f"{product}\\{setting}", {"Path": folder + setting, "Enabled": "1"}
        for group in range(40 * start + 1, 40 * scale + 1):
            yield f"{key}\\Component{group:03}", {"Version": f"{year}.{group}"}
            for setting in range(1, 50):
                yield f"{key}\\Component{group:03}\\Setting{setting:02}", {
                    "Value": f"setting {setting} of component {group}", "Enabled": "1"}


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    path, kind, start = sys.argv[1], sys.argv[2], int(sys.argv[3]) if len(sys.argv) == 4 else 0
    with open(path, "w", encoding="utf-16-le", newline="\r\n") as reg:
        reg.write("\ufeffWindows Registry Editor Version 5.00\n")
        for key, values in machine(kind, start):
            reg.write(f"\n[{key}]\n")
            for name, text in values.items():
                reg.write('"%s"="%s"\n' % (name, text.replace("\\", "\\\\").replace('"', '\\"')))
    print(sum(1 for _ in machine(kind)))


if __name__ == "__main__":
    main()
