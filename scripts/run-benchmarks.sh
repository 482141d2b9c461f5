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

# The programs' own figures: Monitor against the virtual mouse, Option under Xvfb.
for s in bench/*.py; do
  echo "== $(basename "$s")"
  python3 "$s" "$dir/dist"
  echo
done
