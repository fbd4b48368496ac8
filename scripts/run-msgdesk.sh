#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds, starts two simulated modems and Msgdesk on
# them. Mailboxes and contacts live in run/ (data/ and backup/ there).
# ZUNTOSIM_PIN="D CODE": modem D's SIM asks for the PIN CODE.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
bash scripts/build.sh msgdesk modlink zuntosim
mkdir -p run
cd run
sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; pkill -P $$ tail 2>/dev/null || true; }
trap cleanup EXIT
if [ -x "$root/build/bin/zuntosim" ]; then
  rm -f zunto1 zunto2
  # The simulator reads control commands on standard input and ends at its
  # end, so it gets an input that stays open. ZUNTOSIM_PIN="2 4321" has
  # modem 2's SIM ask for the PIN 4321 (Msgdesk then asks for it).
  { if [ -n "${ZUNTOSIM_PIN:-}" ]; then echo "pin $ZUNTOSIM_PIN"; fi; exec tail -f /dev/null; } | "$root/build/bin/zuntosim" --devices 2 --link "$PWD/zunto" --control 47110 \
    --phonebook "$root/tests/data/msgdesk/sim-phonebook.txt" >zuntosim.out 2>zuntosim.err &
  sim_pid=$!
  for _ in $(seq 50); do [ -e zunto2 ] && break; sleep 0.1; done
  export MODLINK_PORTS="$PWD/zunto1,$PWD/zunto2"
  # A welcome message on each modem, so the first run has something to read.
  if command -v socat >/dev/null; then
    (sleep 12
     printf 'sms 1 +8613912345678 欢迎使用KelvoZunto短信中心！\nsms 2 10086 您的话费余额为 88.00 元。\n' |
       socat -t 2 - TCP:127.0.0.1:47110 >/dev/null 2>&1 || true) &
  fi
fi
"$root/build/bin/msgdesk" "$@"
