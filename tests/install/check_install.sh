#!/usr/bin/env bash
# The program on the desktop: the menu entry validates, an install into a
# scratch prefix holds every piece, the file type database of that prefix
# knows drawings by name and by content, and the manual page renders.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR. Exits 77 (skipped) without
# the desktop tools.
set -euo pipefail
build=$1
source=$2

for tool in desktop-file-validate xdg-mime gio update-mime-database man; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

fail() { echo "FAIL: $*"; exit 1; }

desktop-file-validate "$source/desktop/zavora.desktop" || fail "the desktop entry does not validate"

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
DESTDIR= cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/zavora bin/zavora-convert share/applications/zavora.desktop \
            share/icons/hicolor/scalable/apps/zavora.svg share/mime/packages/zavora.xml \
            share/man/man1/zavora-convert.1; do
  [ -e "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/zavora-convert" ] || fail "zavora-convert is not executable"
# The install itself updated the prefix's database.
[ -e "$prefix/share/mime/application/x-zavora-drawing.xml" ] || fail "the file type database was not updated"

# (file name, expected type): the name's glob, and the creator line for a
# drawing without an extension; other EPS files stay EPS.
sample="$source/examples/sample.zvx"
printf '%%!PS-Adobe-3.0 EPSF-3.0\r\n%%%%Creator: Someone else\r\n%%%%BoundingBox: 0 0 10 10\r\n' > "$prefix/other.eps"
cp "$sample" "$prefix/drawing.zvx"
cp "$sample" "$prefix/drawing"
while read -r name expected; do
  got=$(XDG_CURRENT_DESKTOP=GNOME XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$prefix/none" \
        xdg-mime query filetype "$prefix/$name")
  [ "$got" = "$expected" ] || fail "$name is $got, expected $expected"
done <<'CASES'
drawing.zvx application/x-zavora-drawing
drawing application/x-zavora-drawing
other.eps image/x-eps
CASES

# The manual page renders without complaint and says what the program is.
page=$(MANWIDTH=80 man --warnings -P cat -l "$prefix/share/man/man1/zavora-convert.1" 2>"$prefix/man.err")
[ ! -s "$prefix/man.err" ] || fail "man complains: $(cat "$prefix/man.err")"
grep -q "zavora-convert - convert Zavora Draw drawings" <<<"$page" || fail "the manual page has no NAME line"
grep -q -- "--include-fonts" <<<"$page" || fail "the manual page lacks the options"
echo "desktop integration: ok"
