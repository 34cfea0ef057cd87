#!/usr/bin/env python3
"""Drives fontset-creator.exe under Wine as a user would, with xdotool on an X display of
its own, and checks what it shows by screenshots and what it writes by the files' bytes.

Nothing waits a fixed time: each step waits for what the next one needs (a window shown,
the keyboard in it, the screen showing a glyph, a file written, a process ended), so a busy
machine only makes it slower.

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
LIMIT = 120  # seconds for anything to appear, on a machine busy with other work


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


class NotYet(Exception):
    """What a wait's test saw instead of what it waits for."""


def check(condition, what):
    if not condition:
        raise Failure(what)
    print("ok:", what, flush=True)


def xdotool(*args, check=True):
    return subprocess.run(["xdotool", *args], check=check, capture_output=True, text=True,
                          timeout=LIMIT).stdout.strip()


def wait_for(test, what):
    deadline = time.monotonic() + LIMIT
    seen = ""
    while True:
        try:
            result = test()
        except NotYet as not_yet:
            result, seen = None, f" ({not_yet})"
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what + seen)
        time.sleep(0.1)  # the poll interval of every wait


def focus():
    return xdotool("getwindowfocus", check=False)


def visible_windows():
    return set(xdotool("search", "--onlyvisible", "--name", ".*", check=False).split())


def dos_path(path):
    """PATH as typed into a file dialog: the dialogs open in the folder last used, which a
    run that was killed may have left behind."""
    return "Z:" + path.replace("/", "\\")


def programs_of(prefix):
    """The programs running in the Wine prefix, by their file names."""
    names = set()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as environ:
                if b"WINEPREFIX=" + os.fsencode(prefix) + b"\0" not in environ.read():
                    continue
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                program = cmdline.read().split(b"\0")[0].decode(errors="replace")
        except OSError:
            continue  # ended meanwhile
        names.add(program.replace("\\", "/").rsplit("/", 1)[-1].lower())
    return names


def window_named(name):
    def find():
        ids = xdotool("search", "--onlyvisible", "--name", "^" + name + "$", check=False).split()
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
        except Failure:
            if os.environ.get("KORVALIN_GUI_DEBUG"):
                subprocess.run(["import", "-window", "root",
                                os.environ["KORVALIN_GUI_DEBUG"] + ".failed.png"])
            raise
        finally:
            if editor.poll() is None:
                editor.kill()
                editor.wait()


def run(editor, work, program, default, default_bytes, args):
    window = wait_for(window_named(TITLE), "the editor's window")
    check(xdotool("getwindowname", window) == TITLE, "the window's title")
    x, y, width, height = geometry(window)
    # The client area's corner, from the grid's, at 96 dpi; how far Frame1 grew left for its
    # title, the preview half that way with it. Both read from the first whole paint.
    layout = {}

    def mismatch(shot, character, values):
        origin, frame_grow = layout["origin"], layout["frame_grow"]
        for i in range(35):
            expected = (0, 0, 0) if values[character * 35 + i] == 0 else (255, 255, 255)
            for where, (cx, cy) in (("pixel", pixel_centre(i)),
                                    ("preview", preview_centre(i, frame_grow))):
                # The preview cells are 6 pixels; their centre stays inside whatever the grow.
                seen = shot.at(origin[0] + cx, origin[1] + cy)
                if seen != expected:
                    return f"{where} cell {i} shows {seen}"
        return None

    def shown(character, values):
        def test():
            shot = Screen(work)
            if os.environ.get("KORVALIN_GUI_DEBUG"):
                shutil.copy(os.path.join(work, "screen.ppm"), os.environ["KORVALIN_GUI_DEBUG"])
            if not layout:
                corner = shot.first(GRID_LINE, (x, y, x + width, y + height))
                if corner is None:
                    raise NotYet("no pixel grid on screen")
                origin = (corner[0] - px(54), corner[1] - px(243))
                # The preview starts where the white of glyph 0's first row begins.
                row_y = origin[1] + (px(459) + px(549)) // 2
                left = next((x_ for x_ in range(origin[0] + px(4320) - 60, origin[0] + px(5058))
                             if shot.at(x_, row_y) == (255, 255, 255)), None)
                if left is None:
                    raise NotYet("no preview on screen")
                layout.update(origin=origin, frame_grow=2 * (px(4482) - (left - origin[0])))
                failed = mismatch(shot, character, values)
                if failed:
                    layout.clear()  # a paint still under way
            else:
                failed = mismatch(shot, character, values)
            if failed:
                raise NotYet(failed)
            return True
        return test

    def shows(character, values, what):
        wait_for(shown(character, values), what)
        print("ok:", what, flush=True)

    def send(target, what, *args):
        """xdotool ARGS once TARGET is up and X gives the keys to it or to the editor's
        window under it: Wine hands them to the focus of its active window either way.
        Without a window manager X's focus is Wine's to move, and after a dialog it at times
        stays nowhere; then it goes to TARGET, as a click would put it."""
        wait_for(lambda: target in visible_windows(), what)
        if focus() not in (target, window):
            xdotool("windowfocus", "--sync", target)
        xdotool(*args)

    def keys(*names):
        send(window, "the editor's window", "key", *names)

    def menu(access_key):
        before = visible_windows()
        keys("alt+" + access_key)
        wait_for(lambda: visible_windows() - before, "the menu of Alt+" + access_key)

    def answer(title, *typed):
        """Types into the dialog or prompt TITLE once it has the keyboard, then Return."""
        box = wait_for(window_named(title), "the window " + title)
        if typed:
            send(box, title, "type", "--delay", "20", *typed)
        send(box, title, "key", "Return")

    def compile_over(editor, before):
        """True once all that Compile started has ended: the script, the packer, and the
        console with its window, shown for a moment without the keyboard. Of the windows that
        were not up BEFORE, only the editor's may stay."""
        def test():
            if {"cmd.exe", "conhost.exe"} & programs_of(args.prefix):
                return False
            return all(xdotool("getwindowpid", new, check=False) == str(editor.pid)
                       for new in visible_windows() - before)
        return test

    wait_for(shown(0, default), "the pixel grid and glyph 0 on screen")
    print("ok: the pixel grid is on screen", flush=True)
    print("ok: glyph 0 of the default set in the cells and the preview", flush=True)

    # A character from the Switch menu by keyboard: Alt+S, Uppercase letters, its first item.
    menu("s")
    # The menu opens with its first entry marked.
    keys("Down", "Down", "Right", "Return")
    shows(65, default, "Switch Character > Uppercase letters > 65 A by keyboard")

    # A click turns a cell and its preview cell.
    edited = list(default)
    cell = 7
    edited[65 * 35 + cell] = 255 - edited[65 * 35 + cell]
    cx, cy = pixel_centre(cell)
    origin = layout["origin"]
    xdotool("mousemove", str(origin[0] + cx), str(origin[1] + cy), "click", "1")
    shows(65, edited, "a click turns pixel cell 7 and its preview cell")
    if args.shot:
        subprocess.run(["import", "-window", "root", "-crop",
                        f"{width}x{height}+{x}+{y}", args.shot], check=True)

    # Save through the dialog.
    saved = os.path.join(work, "saved.8xfont")
    keys("alt+f", "s")
    answer("Save As", dos_path(saved))
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

    # Compile: NAME.8xp beside the program, NAME.bin gone once the packer has ended.
    before = visible_windows()
    keys("alt+c")
    answer("Korvalin Font Creator", "GUITEST")
    made = os.path.join(program, "GUITEST.8xp")
    wait_for(lambda: os.path.exists(made) and not os.path.exists(os.path.join(program, "GUITEST.bin")),
             "GUITEST.8xp and GUITEST.bin gone")
    wait_for(compile_over(editor, before), "the packaging script's end")
    print("ok: Compile makes GUITEST.8xp in the program folder and removes GUITEST.bin", flush=True)
    if not os.path.exists(args.host_font_tool or "/nonexistent"):
        print("skip: no Linux korvalin-font to compare GUITEST.8xp with", flush=True)
    else:
        subprocess.run([args.host_font_tool, "compile", saved, "GUITEST", "-o", work], check=True)
        with open(made, "rb") as ours, open(os.path.join(work, "GUITEST.8xp"), "rb") as linux:
            check(ours.read() == linux.read(), "GUITEST.8xp is the Linux packer's, byte for byte")

    def prompt_for(reply):
        # "Some more symbols (123-255)", the menu's last entry, asks for a number.
        menu("s")
        keys("Up", "Return")
        answer("Switch Character", reply)
        wait_for(lambda: not window_named("Switch Character")(), "the prompt to close")

    prompt_for("200")
    shows(200, edited, "the number prompt accepts 200")
    # That a refused reply changes nothing shows in the Next that follows it.
    prompt_for("300")
    shows(200, edited, "the number prompt refuses 300")
    keys("Return")
    shows(201, edited, "the number prompt refuses 300 and changes nothing: Next shows 201")

    # Next on Return, and its wrap: 255, then 0, then 1. Glyphs 255 and 0 look alike: the
    # Space's 1 proves the Return's step.
    prompt_for("255")
    keys("Return")
    shows(0, edited, "Next after 255 wraps to 0")
    keys("space")
    shows(1, edited, "Next on Space steps to 1")

    # Save again: no dialog, the same file.
    edited[1 * 35 + 0] = 255 - edited[1 * 35 + 0]
    cx, cy = pixel_centre(0)
    xdotool("mousemove", str(origin[0] + cx), str(origin[1] + cy), "click", "1")
    keys("alt+f", "s")
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
    keys("alt+f", "l")
    question = wait_for(window_named("Open new font set"), "Load's save prompt")
    send(question, "Load's save prompt", "key", "n")
    answer("Open", dos_path(other))
    wait_for(lambda: not window_named("Open")(), "the Open dialog to close")
    shows(0, other_values, "Load shows glyph 0 of the file chosen")

    # New Set, with its prompt answered No: the default set again.
    keys("alt+f", "n")
    question = wait_for(window_named("New Font Set"), "New Set's save prompt")
    send(question, "New Set's save prompt", "key", "n")
    wait_for(lambda: not window_named("New Font Set")(), "the prompt to close")
    shows(0, default, "New Set shows glyph 0 of the default set")

    # Exit: Escape leaves the Yes/No prompt up; Yes saves through the dialog, then ends.
    # The Yes comes after the Escape: only a prompt that Escape left up can take it.
    keys("alt+f", "e")
    prompt = wait_for(window_named("Exit"), "the save prompt")
    send(prompt, "the save prompt", "key", "Escape")
    send(prompt, "the save prompt", "key", "y")
    wait_for(window_named("Save As"), "the Save dialog")
    check(editor.poll() is None, "Escape on the Yes/No prompt does nothing: its Yes follows")
    answer("Save As", dos_path(os.path.join(work, "final.8xfont")))
    check(editor.wait(timeout=LIMIT) == 0, "Exit answered Yes saves, then ends the program")
    with open(os.path.join(work, "final.8xfont"), "rb") as font:
        check(font.read() == default_bytes, "the set saved on Exit is the default set")

    # Again, without the packer: Compile leaves the window usable; Exit answered No.
    os.remove(os.path.join(program, "prgforge.exe"))
    second = subprocess.Popen([args.wine_run, args.prefix,
                               os.path.join(program, "fontset-creator.exe")], cwd=work)
    try:
        window = wait_for(window_named(TITLE), "the editor's window again")
        x, y, width, height = geometry(window)
        layout.clear()
        shows(0, default, "the editor starts again on glyph 0")
        before = visible_windows()
        keys("alt+c")
        answer("Korvalin Font Creator", "NOPACK")
        wait_for(lambda: not os.path.exists(os.path.join(program, "NOPACK.bin")) and
                 os.path.exists(os.path.join(program, "temp.bat")), "the script's end")
        check(not os.path.exists(os.path.join(program, "NOPACK.8xp")),
              "without prgforge.exe no NOPACK.8xp is made")
        wait_for(compile_over(second, before), "the packaging script's end")
        # The notice is a window of the editor's own, not the script's console.
        def editors_notice():
            return any(xdotool("getwindowname", new, check=False) == "Korvalin Font Creator" and
                       xdotool("getwindowpid", new, check=False) == str(second.pid)
                       for new in visible_windows() - before)
        wait_for(editors_notice, "the editor's notice that NOPACK was not made")
        print("ok: a notice window of the editor says that NOPACK was not made", flush=True)
        keys("Return")
        keys("Return")
        shows(2, default, "the window stays usable: Next twice shows glyph 2")
        keys("alt+f", "e")
        question = wait_for(window_named("Exit"), "the save prompt")
        send(question, "the save prompt", "key", "n")
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
