#!/bin/sh
# The Debian package from tools/make-deb, installed with dpkg into a fresh root (the machine's own packages are never
# touched), started by an ordinary user under a private Xvfb, removed without a trace.   package_test.sh SOURCE_DIR BUILD_DIR
set -eu
src=$1
build=$2
t=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$t"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Up to 30 s, as a busy machine may need.
until_() {
    for _ in $(seq 300); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}

deb=$("$src/tools/make-deb" "$build" "$t") || fail "make-deb"
root=$t/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
# The new root has no libc6 or libX11 packages: the machine's own serve.
dpkg --root="$root" --log=/dev/null --force-depends -i "$deb" >/dev/null 2>&1 || fail "dpkg -i"
[ "$(readlink "$root/usr/bin/kestrel")" = /usr/lib/kestrel/kestrel ] || fail "launcher"
! file "$root/usr/lib/kestrel/kestrel" | grep -q "not stripped" || fail "executable not stripped"
hints=$(desktop-file-validate "$root/usr/share/applications/kestrel.desktop" 2>&1) && [ -z "$hints" ] || fail "desktop entry: $hints"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.kestrel.Kestrel.metainfo.xml" >/dev/null || fail "metainfo"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/kestrel.1.gz" 2>"$t/man.err" | grep -q "BROWSER KEYS" || fail "man page"
[ ! -s "$t/man.err" ] || fail "man page warnings: $(cat "$t/man.err")"

# An ordinary user starts it and leaves with Esc: the settings land in the user's own state directory.
# -noreset: a search that connects and leaves before Kestrel must not catch the server mid-reset.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$t/display" >/dev/null 2>&1 &
xvfb=$!
until_ '[ -s "$t/display" ]' || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$t/display")"
home=$t/home
mkdir "$home" && chown 65534:65534 "$home" && chmod 755 "$t"
setpriv --reuid=65534 --regid=65534 --clear-groups env -u XDG_STATE_HOME HOME="$home" \
    "$root/usr/lib/kestrel/kestrel" 2>"$t/stderr" &
kestrel=$!
id=""
until_ 'id=$(xdotool search --onlyvisible --name "^Kestrel\$" 2>/dev/null | head -n 1) && [ -n "$id" ] || ! kill -0 $kestrel 2>/dev/null'
[ -n "$id" ] || { kill "$kestrel" 2>/dev/null || true; fail "no window; $(cat "$t/stderr")"; }
sleep 1
xdotool key --window "$id" Escape 2>/dev/null
status=0
wait "$kestrel" || status=$?
[ "$status" = 0 ] || fail "exit status $status; $(cat "$t/stderr")"
[ -f "$home/.local/state/kestrel/Kestrel.cfg" ] || fail "no settings in the user's state directory"
[ "$(stat -c %a "$home/.local/state/kestrel")" = 700 ] || fail "state directory mode"
[ ! -s "$t/stderr" ] || fail "standard error: $(cat "$t/stderr")"

dpkg --root="$root" --log=/dev/null -r kestrel >/dev/null 2>&1 || fail "dpkg -r"
left=$(cd "$root" && find . -path ./var -prune -o -print | sort | tr '\n' ' ')
[ "$left" = ". " ] || fail "left after removal: $left"
echo "package: ok"
