#!/usr/bin/env bash
# Runs every benchmark of a release build folder and prints its figures.
set -euo pipefail
dir=${1:-build/bench}
found=0
for b in "$dir"/bench/*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b"
  echo
done
[ $found -eq 1 ] || echo "no benchmarks built in $dir/bench"

# Monitor's own figures run the program folder's Monitor against the virtual mouse.
for s in bench/monitor_*.py; do
  echo "== $(basename "$s")"
  python3 "$s" "$dir/dist"
  echo
done
