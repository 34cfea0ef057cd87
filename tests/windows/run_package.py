#!/usr/bin/env python3
"""Unzips the Windows ZIP into a folder with a blank and letters beyond ASCII, as a user
would, and runs each program from there under Wine, from another working folder: the
editor compiles through its packer, and korvalin-font runs every command, its outputs the
same bytes as the Linux build's where one is given.

usage: run_package.py WINE_RUN PREFIX ZIP --golden FONT1.8xp --font OUTLINE.ttf
                      [--host-font-tool KORVALIN_FONT]
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "gui"))
from drive_editor import LIMIT, TITLE, Failure, check, wait_for, window_named, xdotool  # noqa: E402

PROGRAMS = ["fontset-creator.exe", "prgforge.exe", "korvalin-font.exe"]
CONTENTS = set(PROGRAMS) | {"default.8xfont", "README.txt", "LICENSE.txt"}
# Each command once; "-" in an output's place is standard output, whose bytes are compared.
COMMANDS = [
    (["check", "set.8xfont"], 0, "-"),
    (["show", "set.8xfont", "A", "\u00b2"], 0, "-"),
    (["render", "set.8xfont", "-o", "-"], 0, "-"),
    (["screen", "set.8xfont", "--text", "HELLO\\nX\\xD3", "-o", "screen.png"], 0, "screen.png"),
    (["export", "set.8xfont", "-o", "font.bdf"], 0, "font.bdf"),
    (["export", "set.8xfont", "-o", "-", "--format", "psf"], 0, "-"),
    (["import", "font.bdf", "-o", "back.8xfont"], 0, "back.8xfont"),
    (["preview", "font.bdf", "-o", "preview.png"], 0, "preview.png"),
    (["diff", "set.8xfont", "back.8xfont"], 0, "-"),
    (["compile", "-", "FONT1", "-o", "-"], 0, "-"),
]


def run_editor(wine, program, work, golden):
    """Compile of the default set as FONT1 makes the kept program file beside the editor."""
    editor = subprocess.Popen(wine + [os.path.join(program, "fontset-creator.exe")], cwd=work)
    try:
        window = wait_for(window_named(TITLE), "the editor's window")
        # Keys go to the window with the focus, which no window manager gives it here.
        time.sleep(1)
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "alt+c")
        wait_for(window_named("Korvalin Font Creator"), "the program name prompt")
        xdotool("type", "--delay", "20", "FONT1")
        xdotool("key", "Return")
        made = os.path.join(program, "FONT1.8xp")
        wait_for(lambda: os.path.exists(made) and
                 not os.path.exists(os.path.join(program, "FONT1.bin")), "FONT1.8xp")
        with open(made, "rb") as file:
            check(file.read() == golden, "the editor and prgforge.exe compile FONT1 from there")
        xdotool("key", "alt+f", "e")
        wait_for(window_named("Exit"), "the save prompt")
        xdotool("key", "n")
        check(editor.wait(timeout=LIMIT) == 0, "the editor ends")
    finally:
        if editor.poll() is None:
            editor.kill()


def run_tool(command, work, stdin=b""):
    done = subprocess.run(command, cwd=work, input=stdin, capture_output=True, timeout=LIMIT)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("wine_run")
    parser.add_argument("prefix")
    parser.add_argument("zip")
    parser.add_argument("--golden", required=True)
    parser.add_argument("--font", required=True)
    parser.add_argument("--host-font-tool", default="")
    args = parser.parse_args()
    wine = [args.wine_run, args.prefix]
    with open(args.golden, "rb") as file:
        golden = file.read()

    with tempfile.TemporaryDirectory(prefix="korvalin-package-") as temp:
        unzipped = os.path.join(temp, "Korvalin Gr\u00fc\u00dfe \u65e5\u672c")
        with zipfile.ZipFile(args.zip) as archive:
            names = archive.namelist()
            archive.extractall(unzipped)
        top = {name.split("/")[0] for name in names}
        check(len(top) == 1 and {os.path.basename(n) for n in names if not n.endswith("/")}
              == CONTENTS, "the ZIP holds one folder with " + ", ".join(sorted(CONTENTS)))
        program = os.path.join(unzipped, top.pop())
        work = os.path.join(temp, "work")
        os.mkdir(work)
        with open(os.path.join(program, "default.8xfont"), "rb") as file:
            default = file.read()
        with open(os.path.join(work, "set.8xfont"), "wb") as file:
            file.write(default)

        run_editor(wine, program, work, golden)

        # The same commands by the Linux build in a folder of its own, where one is given.
        host = os.path.join(temp, "host")
        os.mkdir(host)
        with open(os.path.join(host, "set.8xfont"), "wb") as file:
            file.write(default)
        tool = wine + [os.path.join(program, "korvalin-font.exe")]
        for words, status, output in COMMANDS:
            stdin = default if words[1] == "-" else b""
            results = []
            for command, folder in ((tool, work), ([args.host_font_tool], host)):
                if not command[0]:
                    continue
                code, out, err = run_tool(command + words, folder, stdin)
                check(code == status, f"{command[-1]} {' '.join(words)} exits {status}: {err}")
                if output != "-":
                    with open(os.path.join(folder, output), "rb") as file:
                        out = file.read()
                results.append(out)
            if words[0] == "compile":
                check(results[0] == golden, "compile from standard input to standard output")
            if len(results) > 1:
                check(results[0] == results[1], f"{words[0]} writes the Linux build's bytes")

        # An outline font drawn by Windows, over the default set beside the program.
        code, out, err = run_tool(tool + ["import", args.font, "-o", "outline.8xfont"], work)
        check(code == 0 and b"as Windows draws it" in out,
              "import draws an outline font through Windows over the default set: " + err)


if __name__ == "__main__":
    try:
        main()
    except (Failure, subprocess.SubprocessError, OSError) as error:
        print("FAILED:", error, file=sys.stderr)
        sys.exit(1)
