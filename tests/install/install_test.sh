#!/bin/sh
# Installs Kestrel into a temporary prefix, checks what a desktop needs, and
# uninstalls it: nothing may be left behind but what was there before, and
# the user's settings only go when asked.
#   install_test.sh SOURCE_DIR BUILD_DIR
set -eu
src=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Something of the user's own already in the prefix stays untouched.
mkdir -p "$prefix/bin"
echo mine >"$prefix/bin/other-tool"

"$src/tools/install-kestrel" install "$prefix" "$build" >/dev/null
[ "$(readlink -f "$prefix/bin/kestrel")" = "$prefix/lib/kestrel/kestrel" ] || fail "launcher does not reach the executable"
[ -x "$prefix/lib/kestrel/kestrel" ] || fail "executable missing"
grep -qx "Exec=\"$prefix/bin/kestrel\"" "$prefix/share/applications/kestrel.desktop" || fail "desktop entry Exec"
grep -qx "Icon=kestrel" "$prefix/share/applications/kestrel.desktop" || fail "desktop entry Icon"
file "$prefix/share/icons/hicolor/64x64/apps/kestrel.png" | grep -q "PNG image data, 64 x 64" || fail "64 px icon"
file "$prefix/share/icons/hicolor/128x128/apps/kestrel.png" | grep -q "PNG image data, 128 x 128" || fail "128 px icon"

# A second install replaces the first one in place.
"$src/tools/install-kestrel" install "$prefix" "$build" >/dev/null || fail "reinstall"

# A launcher that is not Kestrel's is never replaced.
other=$(mktemp -d)
mkdir "$other/bin" && echo theirs >"$other/bin/kestrel"
if "$src/tools/install-kestrel" install "$other" "$build" >/dev/null 2>&1; then fail "replaced a foreign launcher"; fi
[ "$(cat "$other/bin/kestrel")" = theirs ] || fail "foreign launcher changed"
rm -rf "$other"

# Uninstall keeps the settings file; PURGE removes it and the rest.
echo "0 BigSmall" >"$prefix/lib/kestrel/Kestrel.cfg"
"$src/tools/install-kestrel" uninstall "$prefix" >/dev/null
left=$(cd "$prefix" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./bin ./bin/other-tool ./lib ./lib/kestrel ./lib/kestrel/Kestrel.cfg ./lib/kestrel/install-manifest " ] || fail "left after uninstall: $left"
"$src/tools/install-kestrel" install "$prefix" "$build" >/dev/null
"$src/tools/install-kestrel" uninstall "$prefix" --purge >/dev/null
left=$(cd "$prefix" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./bin ./bin/other-tool " ] || fail "left after purge: $left"

# DESTDIR stages the whole tree for a package, naming the prefix as its place
# and leaving no manifest; the program is stripped.
stage=$(mktemp -d)
DESTDIR=$stage/ "$src/tools/install-kestrel" install /usr/local "$build" >/dev/null
tree=$(cd "$stage" && find . ! -type d | sort | tr '\n' ' ')
rm_stage() { rm -rf "$stage"; }
want="./usr/local/bin/kestrel ./usr/local/lib/kestrel/kestrel ./usr/local/share/applications/kestrel.desktop \
./usr/local/share/icons/hicolor/128x128/apps/kestrel.png ./usr/local/share/icons/hicolor/64x64/apps/kestrel.png \
./usr/local/share/man/man1/kestrel.1.gz ./usr/local/share/metainfo/io.github.kestrel.Kestrel.metainfo.xml "
[ "$tree" = "$want" ] || { rm_stage; fail "staged: $tree"; }
[ "$(readlink "$stage/usr/local/bin/kestrel")" = /usr/local/lib/kestrel/kestrel ] || { rm_stage; fail "staged launcher"; }
grep -qx 'Exec="/usr/local/bin/kestrel"' "$stage/usr/local/share/applications/kestrel.desktop" || { rm_stage; fail "staged Exec"; }
file "$stage/usr/local/lib/kestrel/kestrel" | grep -q ", stripped" || { rm_stage; fail "not stripped"; }
rm_stage
echo "install and uninstall: ok"
