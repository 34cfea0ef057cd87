#!/usr/bin/env python3
"""Checks what the Windows ZIP holds, as read from the files themselves.

Each program imports nothing that Windows 7 SP1 lacks: no DLL that came later, and none of
the functions of Windows 8 and 10 that a mingw-w64 build may reach (those we use are looked
up at run time). Each text has Windows' line ends, CR LF, and no bare LF or CR.
"""
import argparse
import re
import subprocess
import sys

# DLLs that Windows 7 SP1 has, as our programs and their runtime use them.
WINDOWS_7_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "shell32.dll", "user32.dll", "version.dll",
}
# Functions of Windows 8 and later in the DLLs above.
LATER_FUNCTIONS = {
    "AdjustWindowRectExForDpi", "AreDpiAwarenessContextsEqual", "CreateFile2",
    "EnableNonClientDpiScaling", "GetAwarenessFromDpiAwarenessContext",
    "GetCurrentThreadStackLimits", "GetDpiForSystem", "GetDpiForWindow",
    "GetSystemMetricsForDpi", "GetSystemTimePreciseAsFileTime", "GetThreadDpiAwarenessContext",
    "GetWindowDpiAwarenessContext", "SetProcessDpiAwarenessContext",
    "SetThreadDpiAwarenessContext", "SystemParametersInfoForDpi", "WaitOnAddress",
    "WakeByAddressAll", "WakeByAddressSingle",
}


def imports(objdump, program):
    """The DLLs and the functions imported from each, from the import table."""
    text = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                          text=True).stdout
    table = {}
    dll = None
    for line in text.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            table[dll] = []
        elif dll and re.match(r"\s+[0-9a-f]+\s+[0-9a-f]+\s+\S+", line):
            table[dll].append(line.split()[-1])
        elif not line.strip():
            dll = None
    return table


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--program", action="append", default=[])
    parser.add_argument("--text", action="append", default=[])
    args = parser.parse_args()
    failures = []
    for program in args.program:
        table = imports(args.objdump, program)
        if not table:
            failures.append(f"{program}: no import table read")
        for dll, functions in sorted(table.items()):
            if dll not in WINDOWS_7_DLLS:
                failures.append(f"{program}: imports {dll}, which Windows 7 lacks")
            for function in functions:
                if function in LATER_FUNCTIONS:
                    failures.append(f"{program}: imports {function} from {dll}, which "
                                    "Windows 7 lacks")
    for name in args.text:
        with open(name, "rb") as file:
            data = file.read()
        bare = data.replace(b"\r\n", b"")
        if b"\n" in bare or b"\r" in bare:
            failures.append(f"{name}: a line without CR LF")
        if not data.endswith(b"\r\n"):
            failures.append(f"{name}: does not end its last line")
    for failure in failures:
        print(failure)
    files = args.program + args.text
    failed = sum(1 for name in files if any(f.startswith(name + ":") for f in failures))
    print(f"{len(files) - failed} passed, {failed} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
