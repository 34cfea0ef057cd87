#!/usr/bin/env python3
"""Fails when a program or shared library under the given folders may load libraries from
a folder that is not a fixed one: an empty RUNPATH or RPATH entry is the working folder, a
relative one is found from it, and $ORIGIN is the program's own folder, which the user
writes to. Our programs need only the system's folders, and those need no entry at all.

    check-runpaths.py FOLDER_OR_FILE...

Reads each ELF file's dynamic section with readelf; links are not followed.
"""
import os
import re
import subprocess
import sys

ELF_MAGIC = b"\x7fELF"
# e_type of executables and of shared objects (position-independent programs included).
LINKED_TYPES = (2, 3)
SEARCH_PATH = re.compile(r"\((RUNPATH|RPATH)\)\s+Library r(?:un)?path: \[(.*)\]$")


def linked_elf_files(top):
    if os.path.isfile(top) and not os.path.islink(top):
        candidates = [top]
    else:
        candidates = (os.path.join(folder, name) for folder, _, names in os.walk(top)
                      for name in names)
    for path in candidates:
        if os.path.islink(path) or not os.path.isfile(path):
            continue
        with open(path, "rb") as file:
            header = file.read(18)
        if header[:4] == ELF_MAGIC and len(header) == 18:
            order = "little" if header[5] == 1 else "big"
            if int.from_bytes(header[16:18], order) in LINKED_TYPES:
                yield path


def faults_of(path):
    dynamic = subprocess.run(["readelf", "--dynamic", "--wide", path], capture_output=True,
                             text=True, errors="replace", check=True).stdout
    for line in dynamic.splitlines():
        found = SEARCH_PATH.search(line.strip())
        if not found:
            continue
        kind, entries = found.groups()
        loose = sorted({entry for entry in entries.split(":") if not entry.startswith("/")})
        if loose:
            yield f"{path}: {kind} [{entries}] holds " + ", ".join(map(repr, loose))


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: check-runpaths.py FOLDER_OR_FILE...")
    checked, faults = 0, []
    for top in sys.argv[1:]:
        if not os.path.exists(top):
            sys.exit(f"check-runpaths.py: {top} does not exist")
        for path in linked_elf_files(top):
            checked += 1
            faults.extend(faults_of(path))
    if checked == 0:
        sys.exit("check-runpaths.py: no program found in " + " ".join(sys.argv[1:]))
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f"{checked} programs and libraries read, {len(faults)} search path faults")
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
