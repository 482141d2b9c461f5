#!/bin/sh
# desktop-file-validate on every file given; any message from it, even a
# hint, fails the test.
out=$(desktop-file-validate "$@" 2>&1)
status=$?
[ -n "$out" ] && printf '%s\n' "$out"
[ "$status" -eq 0 ] && [ -z "$out" ]
