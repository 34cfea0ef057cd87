#!/bin/sh
# Installs into a temporary prefix as a user would, checks what a desktop reads from it,
# starts the installed editor through its launcher and compiles a font set, and uninstalls
# twice: once untouched, once after the user made files in the program folder. Then installs
# into and uninstalls from prefixes that only a path's bytes can name, prefixes that hold the
# user's own files, one whose folder was replaced by a link, and beside another install,
# finished or failed, and checks that nothing beside or outside the install was touched.
#
# install-test.sh BUILD UNINSTALL_SCRIPT DESKTOP_ID "PROGRAMS" "LAUNCHERS" "MAN_PAGES"
# Exits 77 (skipped) when the editor cannot be driven because xvfb-run or xdotool is missing.
set -eu

if [ "${1:-}" = "--drive" ]; then
    # Under xvfb-run: start the editor through its launcher, choose Compile, type the name.
    launcher=$2 name=$3
    "$launcher" &
    editor=$!
    trap 'kill "$editor" 2>/dev/null || true' EXIT
    window=$(timeout 30 xdotool search --sync --name '^Korvalin Font Set Creator 1\.0$' | head -n 1)
    xdotool windowfocus --sync "$window" key alt+c
    box=$(timeout 30 xdotool search --sync --name '^Korvalin Font Creator$' | head -n 1)
    xdotool windowfocus --sync "$box" type "$name"
    xdotool key Return
    # The packaging script runs on its own; wait for its result, then end the editor.
    folder=$4
    tries=0
    while { [ ! -f "$folder/$name.8xp" ] || [ -e "$folder/$name.bin" ]; } && [ $tries -lt 300 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    exit 0
fi

build=$1 uninstall_script=$2 id=$3 programs=$4 launchers=$5 man_pages=${6:-}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
have() { command -v "$1" >/dev/null 2>&1; }

work=$(mktemp -d)
prefix=$work/prefix
folder=$prefix/lib/korvalin-fontset-creator
# An install keeps its record in the build folder: put the user's own back after.
kept_files="install_manifest.txt install-record"
for file in $kept_files; do
    if [ -e "$build/$file" ]; then mv "$build/$file" "$work/saved-$file"; fi
done
restore() {
    for file in $kept_files; do
        rm -rf "$build/$file"
        if [ -e "$work/saved-$file" ]; then mv "$work/saved-$file" "$build/$file"; fi
    done
    rm -rf "$work"
}
trap restore EXIT
trap 'exit 1' INT TERM

# Nothing of the user's: the editor and the desktop tools see a home of their own.
mkdir -m 700 "$work/home" "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"

install_into_prefix() {
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; fail "cmake --install failed"; }
}
uninstall_from_prefix() {
    (cd "$work" && python3 "$uninstall_script" "$build") >"$work/uninstall.log" 2>&1 ||
        { cat "$work/uninstall.log"; fail "uninstall failed"; }
}
# The record of the install into $prefix: a folder named by the prefix's checksum.
record_of_prefix() {
    echo "$build/install-record/$(printf '%s' "$prefix" | sha256sum | cut -c1-16)"
}
# Every file under the prefix but the MIME database that update-mime-database makes.
files_in_prefix() {
    (
        cd "$prefix"
        find . ! -type d | sed 's|^\./||' | grep -v '^share/mime/' || true
        if [ -d share/mime/packages ]; then find share/mime/packages ! -type d; fi
    ) | sort
}

expected_files() {
    for program in $programs; do echo "lib/korvalin-fontset-creator/$program"; done
    echo lib/korvalin-fontset-creator/default.8xfont
    for launcher in $launchers; do echo "bin/$launcher"; done
    echo "share/applications/$id.desktop"
    for size in 16 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done
    echo "share/icons/hicolor/scalable/apps/$id.svg"
    echo "share/mime/packages/$id.xml"
    echo "share/metainfo/$id.metainfo.xml"
    for page in $man_pages; do echo "share/man/man1/$page.1"; done
}
expected_files | sort >"$work/expected"

# 1. A fresh install: the file list, then what a desktop and a terminal make of it.
install_into_prefix
sort "$(record_of_prefix)/files" >"$work/listed"
diff -u "$work/expected" "$work/listed" || fail "the install record is not the expected file list"
files_in_prefix >"$work/found"
diff -u "$work/expected" "$work/found" || fail "the prefix does not hold the expected files"
for launcher in $launchers; do
    case $(readlink "$prefix/bin/$launcher") in
    ../lib/korvalin-fontset-creator/"$launcher") ;;
    *) fail "bin/$launcher is no relative link into the program folder" ;;
    esac
    [ -x "$prefix/bin/$launcher" ] || fail "bin/$launcher does not reach its program"
done
python3 "$(dirname "$0")/check-runpaths.py" "$folder" >"$work/out" 2>&1 ||
    { cat "$work/out"; fail "an installed program looks for libraries outside the system's folders"; }

validate_desktop_entry() {
    have desktop-file-validate || return 0
    desktop-file-validate "$1/share/applications/$id.desktop" >"$work/out" 2>&1 || true
    [ ! -s "$work/out" ] || { cat "$work/out"; fail "desktop-file-validate is not silent for $1"; }
}
have desktop-file-validate ||
    echo "note: desktop-file-validate is missing; the desktop entry is not checked"
validate_desktop_entry "$prefix"
# The menu works before bin/ is on the PATH: the entry names the launcher by its path.
grep -qxF "Exec=\"$prefix/bin/fontset-creator\"" "$prefix/share/applications/$id.desktop" ||
    fail "the desktop entry's Exec does not name the installed launcher"
grep -qxF "TryExec=$prefix/bin/fontset-creator" "$prefix/share/applications/$id.desktop" ||
    fail "the desktop entry's TryExec does not name the installed launcher"
if have appstreamcli; then
    appstreamcli validate --no-net --no-color "$prefix/share/metainfo/$id.metainfo.xml" \
        >"$work/out" 2>&1 || { cat "$work/out"; fail "appstreamcli validate failed"; }
    ! grep -E '^(E|W):' "$work/out" || fail "appstreamcli reports errors or warnings"
else
    echo "note: appstreamcli is missing; the metainfo is not checked"
fi
if have xmllint; then
    xmllint --noout "$prefix/share/mime/packages/$id.xml" "$prefix/share/metainfo/$id.metainfo.xml" ||
        fail "the installed XML is not well-formed"
fi
if have update-mime-database; then
    grep -q ':application/x-korvalin-fontset:\*\.8xfont$' "$prefix/share/mime/globs2" ||
        fail "the MIME database under the prefix does not know *.8xfont"
    if have xdg-mime && have gio; then
        type=$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$prefix/share:/usr/share" \
            xdg-mime query filetype "$folder/default.8xfont")
        [ "$type" = application/x-korvalin-fontset ] || fail "xdg-mime names $type for a font set"
    fi
fi
for page in $man_pages; do
    have man || break
    MANWIDTH=80 man --warnings=all -l "$prefix/share/man/man1/$page.1" >"$work/page" 2>"$work/out" ||
        fail "man cannot render $page.1"
    [ ! -s "$work/out" ] || { cat "$work/out"; fail "$page.1 renders with warnings"; }
    grep -q "^ *$page - " "$work/page" || fail "$page.1 has no NAME line"
done

uninstall_from_prefix
[ ! -e "$prefix" ] || { find "$prefix"; fail "uninstall left files install wrote"; }
[ ! -e "$build/install-record" ] || fail "uninstall kept its record"
uninstall_from_prefix
grep -q "^Nothing to uninstall" "$work/uninstall.log" ||
    { cat "$work/uninstall.log"; fail "a second uninstall did not say that nothing is installed"; }

# 2. Install again; the user edits the default set and compiles with the installed editor.
install_into_prefix
# Glyph 65 becomes a checkerboard: ink where row + column is even. Each cell is a line.
awk -v first=$((65 * 35 + 1)) 'NR >= first && NR < first + 35 {
        cell = NR - first
        printf " %d \r\n", ((int(cell / 5) + cell % 5) % 2 == 0) ? 0 : 255
        next
    } { print }' "$folder/default.8xfont" >"$work/edited.8xfont"
cp "$work/edited.8xfont" "$folder/default.8xfont"
# Installing again, as after an update, keeps the user's default set.
install_into_prefix
cmp -s "$work/edited.8xfont" "$folder/default.8xfont" || fail "installing again replaced the edited set"

skipped=""
if have xvfb-run && have xdotool; then
    name=Inst1
    timeout 90 xvfb-run -a -s "-screen 0 800x600x24" \
        sh "$0" --drive "$prefix/bin/fontset-creator" "$name" "$folder" >"$work/drive.log" 2>&1 ||
        { cat "$work/drive.log"; fail "the editor could not be driven under Xvfb"; }
    [ -f "$folder/$name.8xp" ] || { cat "$work/drive.log"; fail "Compile wrote no $name.8xp"; }
    [ ! -e "$folder/$name.bin" ] || fail "the packaging script left $name.bin"
    # The program image starts at byte 74 of the file: 11 header bytes, then 7 rows a glyph.
    header=$(od -An -v -t x1 -j 74 -N 3 "$folder/$name.8xp" | tr -d ' \n')
    [ "$header" = bb6dc9 ] || fail "$name.8xp holds no program image (starts $header)"
    rows=$(od -An -v -t x1 -j $((74 + 11 + 7 * 65)) -N 7 "$folder/$name.8xp" | tr -d ' \n')
    [ "$rows" = 150a150a150a15 ] ||
        fail "glyph 65 of $name.8xp reads $rows: the installed default.8xfont was not read"
else
    skipped="xvfb-run or xdotool is missing: the installed editor was not started"
fi

uninstall_from_prefix
grep -q "Kept $folder/default.8xfont" "$work/uninstall.log" ||
    { cat "$work/uninstall.log"; fail "uninstall did not say that it kept the edited default set"; }
cmp -s "$work/edited.8xfont" "$folder/default.8xfont" || fail "uninstall removed the edited set"
left=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
for file in $left; do
    case $file in
    lib/korvalin-fontset-creator/default.8xfont) ;;
    lib/korvalin-fontset-creator/*)
        if grep -qx "$file" "$work/expected"; then fail "uninstall left $file"; fi
        grep -q "${file##*/}" "$work/uninstall.log" || fail "uninstall did not name $file"
        ;;
    *) fail "uninstall left $file" ;;
    esac
done
folders=$(cd "$prefix" && find . -type d | sort | tr '\n' ' ')
[ "$folders" = ". ./lib ./lib/korvalin-fontset-creator " ] || fail "uninstall left the folders $folders"

# 3. Prefixes that only a path's bytes can name, each in a folder of its own beside a file
# of the user's; the install must come and go and leave that file as it was.
planted() {
    printf 'the user'"'"'s own\n' >"$1"
}
is_planted() {
    [ "$(cat "$1" 2>/dev/null)" = "the user's own" ] || fail "$1, planted beside the prefix, was touched"
}
long=$(printf '%0200d' 0 | tr 0 x)
case_number=0
for name in "with blank" "it's" 'say "hi"' "a;b" "apps[1]" "star*" "notes$(printf '\303\274')" \
    "$long" link; do
    case_number=$((case_number + 1))
    base=$work/prefixes/$case_number
    mkdir -p "$base"
    planted "$base/planted"
    # What a prefix cut at its first byte beyond ASCII, or at a bracket, would name.
    planted "$base/notes"
    planted "$base/apps"
    if [ "$name" = link ]; then
        mkdir "$base/real"
        ln -s real "$base/link"
    fi
    prefix=$base/$name
    install_into_prefix
    [ -L "$prefix/bin/fontset-creator" ] && [ -f "$prefix/lib/korvalin-fontset-creator/default.8xfont" ] ||
        fail "no install in $prefix"
    validate_desktop_entry "$prefix"
    # A program the user compiled stays, and so does the folder that holds it.
    planted "$prefix/lib/korvalin-fontset-creator/USER.8xp"
    # Lines that name what is not the install's: beside the prefix, outside it, relative.
    echo ../planted >>"$(record_of_prefix)/files"
    mkdir -p "$base/empty" "$work/empty"
    printf '%s\n' "$base/empty" empty >>"$(record_of_prefix)/created"
    uninstall_from_prefix
    [ -d "$base/empty" ] && [ -d "$work/empty" ] || fail "uninstall removed a folder outside $prefix"
    [ "$(cd "$prefix" && find . ! -type d)" = ./lib/korvalin-fontset-creator/USER.8xp ] ||
        { find "$prefix"; fail "uninstall left other files than the user's in $prefix"; }
    is_planted "$prefix/lib/korvalin-fontset-creator/USER.8xp"
    [ "$name" != link ] || [ -L "$base/link" ] || fail "uninstall removed the prefix link"
    for file in planted notes apps; do is_planted "$base/$file"; done
done

# 4. A prefix that holds the user's own programs and another application's file type.
base=$work/prefixes/shared
prefix=$base/home
mkdir -p "$prefix/bin" "$prefix/share/mime/packages"
planted "$prefix/bin/mytool"
cat >"$prefix/share/mime/packages/other.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/x-other-notes"><comment>Other notes</comment><glob pattern="*.othernotes"/></mime-type>
</mime-info>
XML
install_into_prefix
uninstall_from_prefix
is_planted "$prefix/bin/mytool"
[ -f "$prefix/share/mime/packages/other.xml" ] || fail "uninstall removed another application's file type"
if have update-mime-database; then
    grep -q 'othernotes' "$prefix/share/mime/globs2" || fail "uninstall lost the other file type"
    ! grep -q '8xfont' "$prefix/share/mime/globs2" || fail "the file type database still knows *.8xfont"
fi

# 5. A folder of the install replaced by a link to somewhere else: left alone and named.
base=$work/prefixes/relinked
prefix=$base/prefix
mkdir -p "$base"
install_into_prefix
mv "$prefix/share/icons" "$base/moved-icons"
ln -s ../../moved-icons "$prefix/share/icons"
uninstall_from_prefix
[ -L "$prefix/share/icons" ] || fail "uninstall removed a link it did not install"
[ "$(find "$base/moved-icons" -type f | wc -l)" -eq 7 ] || fail "uninstall removed files through a link"
grep -q "^Left alone $prefix/share/icons" "$work/uninstall.log" ||
    { cat "$work/uninstall.log"; fail "uninstall did not name the folder that became a link"; }

# 6. A second install elsewhere, finished or failed: uninstall still removes the first.
for second in finished failed; do
    first=$work/prefixes/second-$second/first prefix=$first
    install_into_prefix
    prefix=${first%/first}/second
    # A file where the install needs a folder stops it.
    [ $second = finished ] || { mkdir "$prefix" && planted "$prefix/lib"; }
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || [ $second = failed ] ||
        fail "the second install failed"
    uninstall_from_prefix
    [ ! -e "$first" ] || { cat "$work/uninstall.log"; fail "a $second install elsewhere hid $first"; }
    [ $second = failed ] || [ ! -e "$prefix" ] || fail "uninstall left the second install"
    [ $second = finished ] || { is_planted "$prefix/lib" && rm -r "$(record_of_prefix)" &&
        grep -q "^Left alone $prefix: the install there did not finish" "$work/uninstall.log"; } ||
        { cat "$work/uninstall.log"; fail "uninstall did not name the install that failed"; }
done

if [ -n "$skipped" ]; then
    echo "SKIPPED: $skipped"
    exit 77
fi
echo "installed, checked, used and uninstalled: $(wc -l <"$work/expected") files"
