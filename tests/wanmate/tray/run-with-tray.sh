#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program on a private X server that has a notification area
# (Xvfb with trayer), the way a desktop session has one. Exits 77 (skipped)
# when either program is missing.
set -u
prog=$1
shift
for t in Xvfb trayer; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is not installed (scripts/setup.sh installs it)"; exit 77; }
done
tmp=$(mktemp -d)
cleanup() {
  [ -n "${tray_pid:-}" ] && kill "$tray_pid" 2>/dev/null
  [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
Xvfb -displayfd 5 -screen 0 800x600x24 -nolisten tcp 5>"$tmp/display" 2>"$tmp/xvfb.log" &
x_pid=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "SKIP: Xvfb did not start"; cat "$tmp/xvfb.log"; exit 77; }
export DISPLAY=":$(cat "$tmp/display")"
trayer --edge bottom --align right --widthtype pixel --width 120 --height 28 \
  --transparent false --tint 0xbdd7ff >"$tmp/trayer.log" 2>&1 &
tray_pid=$!
export QT_QPA_PLATFORM=xcb
"$prog" "$@"
