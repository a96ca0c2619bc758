#!/usr/bin/env python3
"""Checks the packages' components against Windows Installer's rule: one
component code means one set of resources at one bitness, in every package
that ships it. Reads each package's Component, File and Registry tables
with msiinfo and fails, naming the code, where a code appears with another
key path, other contents, another folder or another bitness.
  check_components.py PACKAGE.msi...
"""
import subprocess
import sys

BITNESS_64 = 256  # msidbComponentAttributes64bit


def table(package, name):
    """The table's rows as dictionaries; none for a table the package lacks."""
    run = subprocess.run(["msiinfo", "export", package, name], capture_output=True, text=True)
    if run.returncode != 0:
        return []
    lines = run.stdout.replace("\r\n", "\n").split("\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def components(package):
    """Each component code with what it holds, as Windows Installer keys it."""
    resources = {}
    for row in table(package, "File"):
        name = row["FileName"].split("|")[-1]
        resources.setdefault(row["Component_"], {})[row["File"]] = ("file", name)
    for row in table(package, "Registry"):
        resources.setdefault(row["Component_"], {})[row["Registry"]] = (
            "registry", row["Root"], row["Key"], row["Name"], row["Value"])
    held = {}
    for row in table(package, "Component"):
        mine = resources.get(row["Component"], {})
        held[row["ComponentId"]] = {
            "component": row["Component"],
            "bitness": 64 if int(row["Attributes"]) & BITNESS_64 else 32,
            "folder": row["Directory_"],
            "key path": mine.get(row["KeyPath"]),
            "contents": sorted(mine.values()),
        }
    return held


def difference(before, after):
    if not isinstance(before, list):
        return f"{before} / {after}"
    only = lambda these, those: [item for item in these if item not in those]
    gone, new = only(before, after), only(after, before)
    return f"{len(gone)} only in the first ({gone[:3]}...), {len(new)} only in the second ({new[:3]}...)"


def main(packages):
    seen = {}  # code -> (package, what it holds there)
    problems = 0
    for package in packages:
        for code, held in components(package).items():
            if code not in seen:
                seen[code] = (package, held)
                continue
            first, before = seen[code]
            for aspect in ("bitness", "folder", "key path", "contents"):
                if held[aspect] != before[aspect]:
                    problems += 1
                    print(f"FAIL: component code {code} ({before['component']} in {first}, "
                          f"{held['component']} in {package}) differs in its {aspect}: {difference(before[aspect], held[aspect])}")
    print(f"components: {len(seen)} codes in {len(packages)} packages, {problems} broken")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
