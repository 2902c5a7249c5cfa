#!/bin/bash
# Installs the build into a fresh prefix and checks the installed copy: every file
# in its place, the programs run from another folder, and the editor, its own
# folder read-only, finds what it ships and keeps its settings and log in the
# user's XDG folders. Usage: install_check.sh BUILD WORK
set -u
build=$1
work=$2
prefix=$work/prefix
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
cleanup() {
  [ -n "${editor:-}" ] && kill -9 "$editor" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

rm -rf "$work"
mkdir -p "$work/elsewhere" "$work/home" "$work/config" "$work/state"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
for file in bin/chorvanta bin/chorvanta-cli share/chorvanta/sample.pcm \
  share/chorvanta/manual.htm share/chorvanta/examples/demo/demo.txt \
  share/chorvanta/examples/demo/demo.mp3 share/applications/chorvanta.desktop \
  share/icons/hicolor/scalable/apps/chorvanta.svg share/doc/chorvanta/copyright; do
  [ -e "$prefix/$file" ] || fail "not installed: $file"
done
demo=$prefix/share/chorvanta/examples/demo/demo.txt
cd "$work/elsewhere" || fail "no folder to run in"
"$prefix/bin/chorvanta" --version | grep -q "^Chorvanta Song Editor " || fail "chorvanta --version"
"$prefix/bin/chorvanta-cli" check "$demo" | grep -q ": ok: " || fail "chorvanta-cli check"

# The editor's folder cannot be written; root could write anyway, so the editor
# then runs as nobody.
chmod a-w "$prefix/bin"
as_user=()
if [ "$(id -u)" = 0 ]; then
  chown -R 65534:65534 "$work/home" "$work/config" "$work/state" "$work/elsewhere"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state \
  QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  "${as_user[@]}" "$prefix/bin/chorvanta" "$demo" >/dev/null 2>&1 &
editor=$!
settings=$work/config/chorvanta/settings.ctl
# The song is remembered once it has loaded; an error box on the way would wait forever.
for _ in $(seq 100); do
  grep -q "demo.txt" "$settings" 2>/dev/null && break
  kill -0 "$editor" 2>/dev/null || fail "the editor stopped"
  sleep 0.2
done
grep -q "demo.txt" "$settings" 2>/dev/null || fail "the demo song was not remembered in $settings"
log=$work/state/chorvanta/main.log
grep -q "tone sample .*share/chorvanta/sample.pcm" "$log" || fail "tone sample not found: $(cat "$log")"
grep -q "manual .*share/chorvanta/manual.htm" "$log" || fail "manual not found: $(cat "$log")"
[ "$(ls "$prefix/bin")" = "$(printf 'chorvanta\nchorvanta-cli')" ] ||
  fail "written beside the program: $(ls "$prefix/bin")"
# A signal stops it, as a logout or a kill would.
kill "$editor"
for _ in $(seq 50); do
  kill -0 "$editor" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$editor" 2>/dev/null && fail "the editor did not stop on SIGTERM"
editor=
echo "installed copy ok"
