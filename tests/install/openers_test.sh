#!/bin/sh
# tools/install-openers against a stand-in desktop: its wrappers open a file with the type's default application
# and wait for it; it never replaces a program and removes only its own wrappers.   openers_test.sh SOURCE_DIR
set -eu
src=$1
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The wrapper list is the program table's list.
want=$(grep -o '/usr/local/bin/default[a-z]*' "$src/src/extern/programs.h" | sed 's|.*/||' | sort | tr '\n' ' ')
mkdir "$t/bin"
echo '#!/bin/sh' >"$t/bin/defaultpdfviewer"  # the user's own program
"$src/tools/install-openers" --dir "$t/bin" >/dev/null
[ "$(cat "$t/bin/defaultpdfviewer")" = '#!/bin/sh' ] || fail "existing program replaced"
have=$(ls "$t/bin" | sort | tr '\n' ' ')
[ "$have" = "$want" ] || fail "wrappers: $have, want $want"

# A stand-in desktop whose text application records its arguments and takes a while before it exits.
mkdir -p "$t/share/applications" "$t/config" "$t/out"
cat >"$t/standin" <<STANDIN
#!/bin/sh
for a in "\$@"; do printf '[%s]\n' "\$a"; done >"$t/out/args"
sleep 1
touch "$t/out/finished"
STANDIN
chmod +x "$t/standin"
printf '[Desktop Entry]\nType=Application\nName=Stand-in\nExec="%s" --title "A \\\\"B\\\\"" %%f\n' "$t/standin" \
    >"$t/share/applications/standin.desktop"
printf '[Default Applications]\ntext/plain=standin.desktop\n' >"$t/config/mimeapps.list"
export XDG_DATA_HOME="$t/share" XDG_DATA_DIRS="$t/none" XDG_CONFIG_HOME="$t/config" XDG_CONFIG_DIRS="$t/none"

name="it's \$(touch canary) \`touch canary\` a;b.txt"
echo hello >"$t/$name"
(cd "$t" && "$t/bin/defaulttexteditor" "$t/$name") || fail "wrapper failed"
[ -e "$t/out/finished" ] || fail "wrapper returned before the application exited"
[ ! -e "$t/canary" ] || fail "the file name was run"
expected=$(printf '[--title]\n[A "B"]\n[%s]' "$t/$name")
[ "$(cat "$t/out/args")" = "$expected" ] || fail "arguments: $(cat "$t/out/args")"
: >"$t/empty"
if "$t/bin/defaultarchiver" "$t/empty" 2>/dev/null; then fail "a type without application reported success"; fi

# The archiver zips files and a directory named with blanks and a leading dash, each under its own name.
mkdir -p "$t/pick/a dir/sub" "$t/into here"
for f in "first file.txt" -second "a dir/sub/third"; do echo "$f" >"$t/pick/$f"; done
(cd "$t" && "$t/bin/defaultarchiver" "$t/into here/temp.zip" "$t/pick/first file.txt" "$t/pick/-second" "$t/pick/a dir") \
    || fail "archiver did not make the archive"
listed=$(unzip -Z1 "$t/into here/temp.zip" | sort | tr '\n' '|')
[ "$listed" = "-second|a dir/|a dir/sub/|a dir/sub/third|first file.txt|" ] || fail "archive holds: $listed"

# Removing takes only the wrappers.
"$src/tools/install-openers" --remove --dir "$t/bin" >/dev/null
[ "$(ls "$t/bin")" = defaultpdfviewer ] || fail "left after remove: $(ls "$t/bin")"
echo "install-openers: ok"
