#!/bin/sh
# Installs Kestrel into a temporary prefix and out again, leaving what was there before.   install_test.sh SOURCE_DIR BUILD_DIR
set -eu
src=$1
build=$2
prefix=$(mktemp -d) other=$(mktemp -d) stage=$(mktemp -d)
trap 'rm -rf "$prefix" "$other" "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
installer() { "$src/tools/install-kestrel" "$@" >/dev/null; }

# Something of the user's own already in the prefix stays untouched.
mkdir -p "$prefix/bin"
echo mine >"$prefix/bin/other-tool"
installer install "$prefix" "$build"
[ "$(readlink -f "$prefix/bin/kestrel")" = "$prefix/lib/kestrel/kestrel" ] || fail "launcher does not reach the executable"
[ -x "$prefix/lib/kestrel/kestrel" ] || fail "executable missing"
grep -qx "Exec=\"$prefix/bin/kestrel\"" "$prefix/share/applications/kestrel.desktop" || fail "desktop entry Exec"
icons=$(file -b "$prefix"/share/icons/hicolor/*/apps/kestrel.png | cut -d, -f1,2 | tr '\n' '|')
[ "$icons" = "PNG image data, 128 x 128|PNG image data, 64 x 64|" ] || fail "icons: $icons"

# A launcher that is not Kestrel's is never replaced.
mkdir "$other/bin" && echo theirs >"$other/bin/kestrel"
if installer install "$other" "$build" 2>/dev/null; then fail "replaced a foreign launcher"; fi
[ "$(cat "$other/bin/kestrel")" = theirs ] || fail "foreign launcher changed"

# Uninstall keeps the settings file; --purge removes it and the rest.
echo "0 BigSmall" >"$prefix/lib/kestrel/Kestrel.cfg"
installer uninstall "$prefix"
left() { (cd "$prefix" && find . | sort | tr '\n' ' '); }
[ "$(left)" = ". ./bin ./bin/other-tool ./lib ./lib/kestrel ./lib/kestrel/Kestrel.cfg ./lib/kestrel/install-manifest " ] || fail "left: $(left)"
installer install "$prefix" "$build"
installer uninstall "$prefix" --purge
[ "$(left)" = ". ./bin ./bin/other-tool " ] || fail "left after purge: $(left)"

# DESTDIR stages the whole tree for a package (whose test checks launcher and stripping), naming the prefix.
DESTDIR=$stage/ installer install /usr/local "$build"
tree=$(cd "$stage" && find . ! -type d | sort | tr '\n' ' ')
want="./usr/local/bin/kestrel ./usr/local/lib/kestrel/kestrel ./usr/local/share/applications/kestrel.desktop \
./usr/local/share/icons/hicolor/128x128/apps/kestrel.png ./usr/local/share/icons/hicolor/64x64/apps/kestrel.png \
./usr/local/share/man/man1/kestrel.1.gz ./usr/local/share/metainfo/io.github.kestrel.Kestrel.metainfo.xml "
[ "$tree" = "$want" ] || fail "staged: $tree"
grep -qx 'Exec="/usr/local/bin/kestrel"' "$stage/usr/local/share/applications/kestrel.desktop" || fail "staged Exec"
echo "install and uninstall: ok"
