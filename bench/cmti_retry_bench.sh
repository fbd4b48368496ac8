#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A bogus new-message notice for an empty SIM position on a simulated modem:
# how many times Msgdesk (headless) reads that position, and how much CPU it
# uses, over a given time. Prints "reads=N per_minute=M cpu_percent=C
# commands=K": the AT+CMGR=99 sent, their rate, Msgdesk's CPU and every AT
# command sent in that time.
#   bench/cmti_retry_bench.sh [BIN_DIR] [SECONDS]
set -euo pipefail
bin=$(cd "${1:-build/bin}" && pwd)
secs=${2:-60}
work=$(mktemp -d /tmp/cmti-bench-XXXXXX)
cleanup() {
  exec 7>&- 8>&- 2>/dev/null || true
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "${sim:-}" ] && kill "$sim" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/sim.in" "$work/app.in"
"$bin/zuntosim" --devices 2 <"$work/sim.in" >"$work/sim.out" 2>&1 &
sim=$!
exec 7>"$work/sim.in"
for _ in $(seq 100); do [ "$(grep -c '^device ' "$work/sim.out")" -ge 2 ] && break; sleep 0.1; done
ports=$(awk '/^device /{print $3}' "$work/sim.out" | paste -sd, -)
MODLINK_PORTS=$ports MODLINK_USB=0 MODLINK_LIBRARY="$bin/libmodlink.so" \
  MODLINK_TRACE="$work/trace.jsonl" "$bin/msgdesk_headless" --dir "$work/app" \
  <"$work/app.in" >"$work/app.out" 2>"$work/app.err" &
app=$!
exec 8>"$work/app.in"
for _ in $(seq 600); do grep -q '^ready' "$work/app.out" && break; sleep 0.1; done
grep -q '^ready' "$work/app.out" || { echo "msgdesk_headless never got ready" >&2; exit 1; }
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
before=$(grep -c '"tx":"AT+CMGR=99' "$work/trace.jsonl" || true)
all0=$(grep -c '"tx":' "$work/trace.jsonl" || true)
t0=$(ticks)
echo 'unsolicited 1 +CMTI: "SM",99' >&7
sleep "$secs"
t1=$(ticks)
reads=$(( $(grep -c '"tx":"AT+CMGR=99' "$work/trace.jsonl" || true) - before ))
commands=$(( $(grep -c '"tx":' "$work/trace.jsonl" || true) - all0 ))
echo "reads=$reads per_minute=$(( reads * 60 / secs )) cpu_percent=$(awk -v a="$t0" -v b="$t1" -v h="$hz" -v s="$secs" 'BEGIN{printf "%.1f", (b-a)*100/h/s}') commands=$commands"
echo quit >&8
