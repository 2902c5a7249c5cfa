#!/usr/bin/env bash
# Takes the README's screenshot: the editor with the demo song, on a virtual
# X display. Needs xvfb, xdotool and imagemagick (apt-get install them).
# Usage: scripts/screenshot.sh [OUT.png]   (default docs/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool imagemagick" >&2; exit 1; }
done
make build >/dev/null

display=:87
Xvfb "$display" -screen 0 1024x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$editor" "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 0.5
build/bin/chorvanta build/bin/examples/demo/demo.txt >/dev/null 2>&1 &
editor=$!
until window=$(xdotool search --onlyvisible --name "Chorvanta Song Editor" 2>/dev/null | head -1) \
      && [ -n "$window" ]; do
  sleep 0.1
done
# Let the analysis finish, then play a little so the cursor and the line display move.
sleep 2
xdotool mousemove --window "$window" 123 31 click 1
sleep 2.2
xdotool mousemove --window "$window" 98 31 click 1
sleep 0.3
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "wrote $out"
