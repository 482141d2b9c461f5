#!/usr/bin/env bash
# Renders the screenshots on a private X server: starts Xvfb on a display it
# picks itself (-displayfd), runs the screenshot program there, then once more
# at QT_SCALE_FACTOR=2 for the scenes of a double-density screen (those whose
# name ends in _2x; the others skip themselves there), stops Xvfb.
#   run-screenshots.sh <screenshots program> <program folder> <out folder> [scene ...]
set -euo pipefail
prog=$1 dist=$2 out=$3
shift 3
tmp=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$tmp"' EXIT
Xvfb -displayfd 3 -screen 0 2400x1400x24 -nolisten tcp -noreset 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$tmp/display" ] && break
  sleep 0.05
done
[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
mkdir -p "$out"
rm -f "$out"/*.png
display=":$(head -n1 "$tmp/display")"
DISPLAY=$display QT_QPA_PLATFORM=xcb "$prog" "$dist" "$out" "$@"
if [ $# -eq 0 ]; then
  DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 "$prog" "$dist" "$out" main_window_2x
fi
