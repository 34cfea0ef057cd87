#!/usr/bin/env python3
"""Drives fontset-creator.exe under Wine as a user would, with xdotool on an X display of
its own, and checks what it shows by screenshots and what it writes by the files' bytes.

usage: drive_editor.py WINE_RUN PREFIX BIN_DIR [--host-font-tool KORVALIN_FONT] [--shot PNG]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

TITLE = "Korvalin Font Set Creator 1.0"
GRID_LINE = (0xB4, 0xB4, 0xB4)
LIMIT = 60  # seconds for anything to appear


def px(twips):
    return (2 * twips + 15) // 30


def pixel_centre(i):
    size = 400 if i == 0 else 396
    left, top = 54 + 378 * (i % 5), 243 + 378 * (i // 5)
    return (px(left) + px(left + size)) // 2, (px(top) + px(top + size)) // 2


def preview_centre(i, frame_grow):
    left, top = 4320 + 162 + 81 * (i % 5), 243 + 216 + 81 * (i // 5)
    return (px(left) + px(left + 90)) // 2 - frame_grow // 2, (px(top) + px(top + 90)) // 2


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)
    print("ok:", what, flush=True)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True,
                          timeout=LIMIT).stdout.strip()


def wait_for(test, what):
    deadline = time.monotonic() + LIMIT
    while time.monotonic() < deadline:
        result = test()
        if result:
            return result
        time.sleep(0.2)
    raise Failure("timed out waiting for " + what)


def window_named(name):
    def find():
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + name + "$"],
                               capture_output=True, text=True)
        ids = found.stdout.split()
        return ids[0] if ids else None
    return find


class Screen:
    """The root window as a grid of RGB triples."""

    def __init__(self, folder):
        path = os.path.join(folder, "screen.ppm")
        subprocess.run(["import", "-window", "root", "-depth", "8", path], check=True,
                       timeout=LIMIT)
        with open(path, "rb") as ppm:
            data = ppm.read()
        fields, at = [], 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1:]

    def at(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.pixels[offset:offset + 3])

    def first(self, colour, box):
        left, top, right, bottom = box
        for y in range(top, bottom):
            for x in range(left, right):
                if self.at(x, y) == colour:
                    return x, y
        return None


def geometry(window):
    shell = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window).split())
    return int(shell["X"]), int(shell["Y"]), int(shell["WIDTH"]), int(shell["HEIGHT"])


def set_values(path):
    with open(path, "rb") as font:
        return [int(line) for line in font.read().split(b"\r\n") if line]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("wine_run")
    parser.add_argument("prefix")
    parser.add_argument("bin_dir")
    parser.add_argument("--host-font-tool", default="")
    parser.add_argument("--shot", default="")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="korvalin-gui-") as work:
        # A program folder with blanks and letters beyond ASCII, as users have them.
        program = os.path.join(work, "Schrift Editor \u00e4\u00df \u00e9t\u00e9")
        os.mkdir(program)
        for name in ("fontset-creator.exe", "prgforge.exe", "default.8xfont"):
            shutil.copy(os.path.join(args.bin_dir, name), program)
        default = set_values(os.path.join(program, "default.8xfont"))
        with open(os.path.join(program, "default.8xfont"), "rb") as font:
            default_bytes = font.read()

        editor = subprocess.Popen([args.wine_run, args.prefix,
                                   os.path.join(program, "fontset-creator.exe")], cwd=work)
        try:
            run(editor, work, program, default, default_bytes, args)
        finally:
            if editor.poll() is None:
                editor.kill()
                editor.wait()


def run(editor, work, program, default, default_bytes, args):
    window = wait_for(window_named(TITLE), "the editor's window")
    check(xdotool("getwindowname", window) == TITLE, "the window's title")
    time.sleep(0.5)  # the first paint after mapping
    x, y, width, height = geometry(window)
    screen = Screen(work)
    corner = screen.first(GRID_LINE, (x, y, x + width, y + height))
    check(corner is not None, "the pixel grid is on screen")
    # The client area's corner, from the grid's, at 96 dpi.
    origin = (corner[0] - px(54), corner[1] - px(243))
    frame_grow = 0  # found from the preview's black cells below

    def shows(character, values, what):
        time.sleep(0.3)
        shot = Screen(work)
        if os.environ.get("KORVALIN_GUI_DEBUG"):
            shutil.copy(os.path.join(work, "screen.ppm"), os.environ["KORVALIN_GUI_DEBUG"])
        for i in range(35):
            expected = (0, 0, 0) if values[character * 35 + i] == 0 else (255, 255, 255)
            cx, cy = pixel_centre(i)
            if shot.at(origin[0] + cx, origin[1] + cy) != expected:
                raise Failure(f"{what}: pixel cell {i} shows {shot.at(origin[0] + cx, origin[1] + cy)}")
            # The preview cells are 6 pixels; their centre stays inside whatever the frame's grow.
            px_, py_ = preview_centre(i, frame_grow)
            if shot.at(origin[0] + px_, origin[1] + py_) != expected:
                raise Failure(f"{what}: preview cell {i} shows {shot.at(origin[0] + px_, origin[1] + py_)}")
        print("ok:", what, flush=True)

    # Frame1 may have grown left for its title, the preview half that way with it: its
    # place is where the white of glyph 0's preview begins.
    row_y = origin[1] + (px(459) + px(549)) // 2
    left = next(x for x in range(origin[0] + px(4320) - 60, origin[0] + px(5058))
                if screen.at(x, row_y) == (255, 255, 255))
    frame_grow = 2 * (px(4482) - (left - origin[0]))
    shows(0, default, "glyph 0 of the default set in the cells and the preview")

    # A character from the Switch menu by keyboard: Alt+S, Uppercase letters, its first item.
    xdotool("key", "alt+s")
    time.sleep(0.5)
    # The menu opens with its first entry marked.
    xdotool("key", "Down", "Down", "Right", "Return")
    time.sleep(0.5)
    shows(65, default, "Switch Character > Uppercase letters > 65 A by keyboard")

    # A click turns a cell and its preview cell.
    edited = list(default)
    cell = 7
    edited[65 * 35 + cell] = 255 - edited[65 * 35 + cell]
    cx, cy = pixel_centre(cell)
    xdotool("mousemove", str(origin[0] + cx), str(origin[1] + cy), "click", "1")
    time.sleep(0.5)
    shows(65, edited, "a click turns pixel cell 7 and its preview cell")
    if args.shot:
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{width}x{height}+{x}+{y}", args.shot], check=True)

    # Save through the dialog.
    saved = os.path.join(work, "saved.8xfont")
    xdotool("key", "alt+f", "s")
    wait_for(window_named("Save As"), "the Save dialog")
    time.sleep(0.5)
    # The dialog opens in the editor's working folder, where the file is to go.
    xdotool("type", "--delay", "20", "saved.8xfont")
    xdotool("key", "Return")
    # The save writes a file beside it and renames it: once there, it is whole.
    wait_for(lambda: os.path.exists(saved), "the saved file")
    lines = default_bytes.split(b"\r\n")
    # Written as the default set's own lines are, the number between two blanks.
    lines[65 * 35 + cell] = b" %d " % edited[65 * 35 + cell]
    with open(saved, "rb") as font:
        written = font.read()
        if os.environ.get("KORVALIN_GUI_DEBUG"):
            shutil.copy(saved, os.environ["KORVALIN_GUI_DEBUG"] + ".saved")
        check(written == b"\r\n".join(lines),
              "Save writes the default set's bytes with the one cell changed")

    # Compile: NAME.8xp beside the program, NAME.bin gone.
    xdotool("key", "alt+c")
    wait_for(window_named("Korvalin Font Creator"), "the program name prompt")
    time.sleep(0.5)
    xdotool("type", "--delay", "20", "GUITEST")
    xdotool("key", "Return")
    made = os.path.join(program, "GUITEST.8xp")
    wait_for(lambda: os.path.exists(made) and not os.path.exists(os.path.join(program, "GUITEST.bin")),
             "GUITEST.8xp and GUITEST.bin gone")
    time.sleep(1)  # the packer closes its file before the script deletes the image
    print("ok: Compile makes GUITEST.8xp in the program folder and removes GUITEST.bin", flush=True)
    if not os.path.exists(args.host_font_tool or "/nonexistent"):
        print("skip: no Linux korvalin-font to compare GUITEST.8xp with", flush=True)
    else:
        subprocess.run([args.host_font_tool, "compile", saved, "GUITEST", "-o", work], check=True)
        with open(made, "rb") as ours, open(os.path.join(work, "GUITEST.8xp"), "rb") as linux:
            check(ours.read() == linux.read(), "GUITEST.8xp is the Linux packer's, byte for byte")

    def prompt_for(reply):
        # "Some more symbols (123-255)", the menu's last entry, asks for a number.
        xdotool("key", "alt+s")
        time.sleep(0.5)
        xdotool("key", "Up", "Return")
        wait_for(window_named("Switch Character"), "the number prompt")
        time.sleep(0.3)
        xdotool("type", "--delay", "20", reply)
        xdotool("key", "Return")
        wait_for(lambda: not window_named("Switch Character")(), "the prompt to close")

    prompt_for("200")
    shows(200, edited, "the number prompt accepts 200")
    prompt_for("300")
    shows(200, edited, "the number prompt refuses 300 and changes nothing")

    # Next on Return, and its wrap: 255, then 0, then 1.
    prompt_for("255")
    xdotool("key", "Return")
    shows(0, edited, "Next after 255 wraps to 0")
    xdotool("key", "space")
    shows(1, edited, "Next on Space steps to 1")

    # Save again: no dialog, the same file.
    edited[1 * 35 + 0] = 255 - edited[1 * 35 + 0]
    cx, cy = pixel_centre(0)
    xdotool("mousemove", str(origin[0] + cx), str(origin[1] + cy), "click", "1")
    xdotool("key", "alt+f", "s")
    lines[1 * 35 + 0] = b" %d " % edited[1 * 35 + 0]
    expected = b"\r\n".join(lines)

    def saved_again():
        with open(saved, "rb") as font:
            return font.read() == expected
    wait_for(saved_again, "the second save")
    check(window_named("Save As")() is None, "Save again writes the same file without a dialog")

    # Load with its prompt, answered No.
    other = os.path.join(work, "other.8xfont")
    other_values = list(default)
    other_values[12] = 0
    other_lines = default_bytes.split(b"\r\n")
    other_lines[12] = b" 0 "
    with open(other, "wb") as font:
        font.write(b"\r\n".join(other_lines))
    xdotool("key", "alt+f", "l")
    wait_for(window_named("Open new font set"), "Load's save prompt")
    time.sleep(0.3)
    xdotool("key", "n")
    wait_for(window_named("Open"), "the Open dialog")
    time.sleep(0.5)
    xdotool("type", "--delay", "20", "other.8xfont")
    xdotool("key", "Return")
    wait_for(lambda: not window_named("Open")(), "the Open dialog to close")
    shows(0, other_values, "Load shows glyph 0 of the file chosen")

    # New Set, with its prompt answered No: the default set again.
    xdotool("key", "alt+f", "n")
    wait_for(window_named("New Font Set"), "New Set's save prompt")
    time.sleep(0.3)
    xdotool("key", "n")
    wait_for(lambda: not window_named("New Font Set")(), "the prompt to close")
    shows(0, default, "New Set shows glyph 0 of the default set")

    # Exit: Escape leaves the Yes/No prompt up; Yes saves through the dialog, then ends.
    xdotool("key", "alt+f", "e")
    prompt = wait_for(window_named("Exit"), "the save prompt")
    time.sleep(0.3)
    xdotool("key", "Escape")
    time.sleep(1)
    check(window_named("Exit")() == prompt and editor.poll() is None,
          "Escape on the Yes/No prompt does nothing")
    xdotool("key", "y")
    wait_for(window_named("Save As"), "the Save dialog")
    time.sleep(0.5)
    xdotool("type", "--delay", "20", "final.8xfont")
    xdotool("key", "Return")
    check(editor.wait(timeout=LIMIT) == 0, "Exit answered Yes saves, then ends the program")
    with open(os.path.join(work, "final.8xfont"), "rb") as font:
        check(font.read() == default_bytes, "the set saved on Exit is the default set")

    # Again, without the packer: Compile leaves the window usable; Exit answered No.
    os.remove(os.path.join(program, "prgforge.exe"))
    second = subprocess.Popen([args.wine_run, args.prefix,
                               os.path.join(program, "fontset-creator.exe")], cwd=work)
    try:
        wait_for(window_named(TITLE), "the editor's window again")
        time.sleep(0.5)
        xdotool("key", "alt+c")
        wait_for(window_named("Korvalin Font Creator"), "the program name prompt")
        time.sleep(0.3)
        xdotool("type", "--delay", "20", "NOPACK")
        xdotool("key", "Return")
        wait_for(lambda: not os.path.exists(os.path.join(program, "NOPACK.bin")) and
                 os.path.exists(os.path.join(program, "temp.bat")), "the script's end")
        check(not os.path.exists(os.path.join(program, "NOPACK.8xp")),
              "without prgforge.exe no NOPACK.8xp is made")
        time.sleep(1)
        xdotool("key", "Return")
        xdotool("key", "Return")
        shows(2, default, "the window stays usable: Next twice shows glyph 2")
        xdotool("key", "alt+f", "e")
        wait_for(window_named("Exit"), "the save prompt")
        time.sleep(0.3)
        xdotool("key", "n")
        check(second.wait(timeout=LIMIT) == 0, "Exit with the prompt answered No ends the program")
    finally:
        if second.poll() is None:
            second.kill()
            second.wait()


if __name__ == "__main__":
    try:
        main()
    except (Failure, subprocess.SubprocessError) as error:
        print("FAILED:", error, file=sys.stderr)
        sys.exit(1)
