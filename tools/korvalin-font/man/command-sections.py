#!/usr/bin/env python3
"""Writes help2man's include of one section a command, from each command's own --help, so
that the manual page says what the tool does and never drifts from it.

    command-sections.py TOOL OUTPUT
"""
import re
import subprocess
import sys


def roff(text):
    """Text as roff: escapes for backslashes, minus signs and characters beyond ASCII, and
    no line read as a request."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    text = "".join(c if ord(c) < 0x80 else "\\[u%04X]" % ord(c) for c in text)
    return "\\&" + text if text[:1] in (".", "'") else text


def help_text(tool, *words):
    return subprocess.run([tool, *words, "--help"], check=True, capture_output=True,
                          encoding="utf-8").stdout


def section(tool, name):
    lines = help_text(tool, name).splitlines()
    arguments = lines[0].removeprefix("Usage: korvalin-font " + name).strip()
    out = ["[COMMAND %s]" % name.upper(), ".B korvalin\\-font " + name, roff(arguments), ".PP"]
    rest = lines[1:]
    options = rest.index("Options:") if "Options:" in rest else len(rest)
    out += [roff(line) for line in rest[:options] if line]
    for line in rest[options + 1:]:
        option = re.match(r"^  (-\S.*?\S)  +(\S.*)$", line)
        if option:
            out += [".TP", ".B " + roff(option.group(1)), roff(option.group(2))]
        elif line.strip():
            out.append(roff(line.strip()))
    return "\n".join(out) + "\n"


def main():
    tool, output = sys.argv[1:]
    overview = help_text(tool)
    commands = overview.split("\nCommands:\n", 1)[1].split("\n\n", 1)[0]
    names = re.findall(r"^  ([a-z]+) ", commands, re.MULTILINE)
    with open(output, "w", encoding="ascii") as page:
        page.write("\n".join(section(tool, name) for name in names))


if __name__ == "__main__":
    main()
