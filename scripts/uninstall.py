#!/usr/bin/env python3
"""Removes what the installs from a build folder wrote, as their records list it.

    scripts/uninstall.py BUILD_DIR

Each prefix installed into has a record of its own, so that an install elsewhere, finished
or not, never makes uninstall forget another. Paths are bytes throughout: a record holds one
path a line and nothing splits or globs them. Below the prefix no link is followed: a folder
of the install that has become a link is left alone and named. Only the files a record lists
are removed, and only the folders the install created, each once it is empty. What the user
made stays: compiled programs, the packaging script, and a default font set edited since it
was installed.
"""

import errno
import hashlib
import os
import shutil
import stat
import subprocess
import sys

# What update-mime-database makes from the packages, besides one folder a media type.
MIME_DATABASE_FILES = (b"XMLnamespaces", b"aliases", b"generic-icons", b"globs", b"globs2",
                       b"icons", b"magic", b"mime.cache", b"subclasses", b"treemagic", b"types",
                       b"version")
MIME_PACKAGE = b"share/mime/packages/io.github.korvalin.FontSetCreator.xml"
# The record of an install, a fact a file, as the install writes it.
RECORD_FILES = (b"prefix", b"created", b"font-sha256", b"files")
DEFAULT_FONT = b"default.8xfont"


def say(*parts):
    sys.stdout.buffer.write(b"".join(
        part if isinstance(part, bytes) else part.encode() for part in parts) + b"\n")
    sys.stdout.buffer.flush()


def read_lines(path):
    try:
        with open(path, "rb") as record:
            return [line for line in record.read().split(b"\n") if line]
    except FileNotFoundError:
        return None


class Prefix:
    """The prefix's folder, opened once; every path below it is walked without links."""

    def __init__(self, path):
        self.path = path
        self.fd = os.open(path, os.O_RDONLY | os.O_DIRECTORY | os.O_CLOEXEC)
        self.refused = set()

    def folder(self, relative):
        """The descriptor of folder `relative`, or None where it is gone or is a link now."""
        fd = os.dup(self.fd)
        walked = b""
        for part in [part for part in relative.split(b"/") if part]:
            walked = walked + b"/" + part if walked else part
            try:
                next_fd = os.open(part, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW |
                                  os.O_CLOEXEC, dir_fd=fd)
            except OSError as error:
                os.close(fd)
                if error.errno in (errno.ELOOP, errno.ENOTDIR) and walked not in self.refused:
                    self.refused.add(walked)
                    say("Left alone ", self.path, b"/", walked,
                        ": it is no longer the folder the install made (a link or a file now)")
                return None
            os.close(fd)
            fd = next_fd
        return fd

    def split(self, relative):
        folder, _, name = relative.rpartition(b"/")
        return folder, name


def sha256_at(fd, name):
    digest = hashlib.sha256()
    file_fd = os.open(name, os.O_RDONLY | os.O_NOFOLLOW | os.O_CLOEXEC, dir_fd=fd)
    with os.fdopen(file_fd, "rb") as stream:
        for block in iter(lambda: stream.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest().encode()


def remove_file(prefix, relative, font_sha256, kept):
    folder, name = prefix.split(relative)
    fd = prefix.folder(folder)
    if fd is None:
        return False
    try:
        try:
            status = os.stat(name, dir_fd=fd, follow_symlinks=False)
        except FileNotFoundError:
            return False
        path = prefix.path + b"/" + relative
        if not (stat.S_ISREG(status.st_mode) or stat.S_ISLNK(status.st_mode)):
            say("Left alone ", path, ": it is no longer the file the install wrote")
            return False
        if name == DEFAULT_FONT and stat.S_ISREG(status.st_mode) and \
                sha256_at(fd, name) != font_sha256:
            kept.append(path)
            return False
        os.unlink(name, dir_fd=fd)
        say("Removed ", path)
        return True
    finally:
        os.close(fd)


def rmdir_at(fd, name):
    """rmdir: an empty folder goes; one that holds anything, or is no folder, stays."""
    try:
        if stat.S_ISDIR(os.stat(name, dir_fd=fd, follow_symlinks=False).st_mode):
            os.rmdir(name, dir_fd=fd)
    except OSError:
        pass


def names_no_file_of(relative):
    """Whether a path from the record could lead outside the prefix."""
    return not relative or relative.startswith(b"/") or b".." in relative.split(b"/")


def remove_folders(prefix, created):
    """The folders the install created, each once it is empty: those below the prefix, the
    longest first, then the prefix and the folders above it that the install made for it.
    Any other line of the record, relative or outside the prefix, names nothing of ours."""
    above = []
    folder = prefix.path
    while folder in created and folder not in above:
        above.append(folder)
        folder = os.path.dirname(folder)
    inside = prefix.path + b"/"
    for path in sorted(created, key=len, reverse=True):
        if path in above:
            continue
        if not path.startswith(inside) or names_no_file_of(path[len(inside):]):
            say("Left alone ", path, ": the record names no folder of the install")
            continue
        folder, name = prefix.split(path[len(inside):])
        fd = prefix.folder(folder)
        if fd is not None:
            rmdir_at(fd, name)
            os.close(fd)
    for path in above:
        try:
            os.rmdir(path)
        except OSError:
            break


def clean_mime_database(prefix, created):
    """Without our package the database is made anew; where the install created it and no
    other package is left, the files the tool makes go and then the empty folders."""
    tool = shutil.which("update-mime-database")
    fd = prefix.folder(b"share/mime")
    if fd is None:
        return
    try:
        packages = prefix.folder(b"share/mime/packages")
        others = []
        if packages is not None:
            others = os.listdir(packages)
            os.close(packages)
        if tool:
            subprocess.run([tool, b"/proc/self/fd/%d" % fd], pass_fds=(fd,),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        if others or prefix.path + b"/share/mime" not in created or not tool:
            return
        for name in MIME_DATABASE_FILES:
            try:
                if stat.S_ISREG(os.stat(name, dir_fd=fd, follow_symlinks=False).st_mode):
                    os.unlink(name, dir_fd=fd)
            except FileNotFoundError:
                pass
        for name in os.listdir(fd):
            rmdir_at(fd, name)
    finally:
        os.close(fd)


def forget(record):
    """A record goes once its install is gone."""
    for name in RECORD_FILES:
        try:
            os.unlink(os.path.join(record, name))
        except FileNotFoundError:
            pass
    try:
        os.rmdir(record)
    except OSError:
        pass


def records_in(folder):
    """The record of each prefix installed into, a folder of its own, and the one record of
    an older build, kept in the folder itself."""
    try:
        names = sorted(os.listdir(folder))
    except (FileNotFoundError, NotADirectoryError):
        return []
    found = [folder] if b"prefix" in names else []
    for name in names:
        path = os.path.join(folder, name)
        if stat.S_ISDIR(os.lstat(path).st_mode):
            found.append(path)
    return found


def uninstall(record):
    """Removes the install that `record` describes and forgets it; an install that did not
    finish is named and kept in mind, since what it wrote is not known."""
    prefix_lines = read_lines(os.path.join(record, b"prefix"))
    files = read_lines(os.path.join(record, b"files"))
    if not prefix_lines:
        forget(record)
        return
    if files is None:
        say("Left alone ", prefix_lines[0], ": the install there did not finish, so what it "
            "wrote is not known; install there again, then uninstall")
        return
    created = set(read_lines(os.path.join(record, b"created")) or [])
    font_sha256 = (read_lines(os.path.join(record, b"font-sha256")) or [b""])[0]

    try:
        prefix = Prefix(prefix_lines[0])
    except OSError as error:
        say("Nothing to uninstall in ", prefix_lines[0], ": ", os.strerror(error.errno))
        forget(record)
        return

    kept = []
    removed_mime_package = False
    for relative in files:
        if names_no_file_of(relative):
            say("Left alone ", relative, ": the record names no file of the prefix")
            continue
        if remove_file(prefix, relative, font_sha256, kept) and relative == MIME_PACKAGE:
            removed_mime_package = True
    if removed_mime_package:
        clean_mime_database(prefix, created)
    remove_folders(prefix, created)

    for path in kept:
        say("Kept ", path, ": it was edited after it was installed")
    program_folder = next((relative.rpartition(b"/")[0] for relative in files
                           if relative.endswith(b"/" + DEFAULT_FONT)), None)
    if program_folder is not None:
        fd = prefix.folder(program_folder)
        if fd is not None:
            left = sorted(os.fsencode(name) for name in os.listdir(fd))
            os.close(fd)
            if left:
                say("Left in ", prefix.path, b"/", program_folder,
                    ", made there after the install: ", b", ".join(left))
    os.close(prefix.fd)
    forget(record)


def main(arguments):
    if len(arguments) != 1:
        sys.stderr.write("usage: uninstall.py BUILD_DIR\n")
        return 2
    build = os.path.abspath(os.fsencode(arguments[0]))
    folder = os.path.join(build, b"install-record")
    records = records_in(folder)
    if not records:
        say("Nothing to uninstall: no install from ", build, " is recorded")
        return 0
    # Deepest first: the record of an older build is the folder that holds the others.
    for record in sorted(records, key=len, reverse=True):
        uninstall(record)
    if not records_in(folder):
        try:
            os.rmdir(folder)
        except OSError:
            pass
        try:
            os.unlink(os.path.join(build, b"install_manifest.txt"))
        except FileNotFoundError:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
