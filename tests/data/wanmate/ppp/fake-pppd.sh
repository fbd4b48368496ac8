#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Stands in for pppd in tests: records its arguments, replays the log named
# by FAKE_PPPD_LOG on standard error, then exits with the status its
# "# exit:" line gives ("hold" stays up until a signal, as a link does).
[ -n "$FAKE_PPPD_ARGS" ] && printf '%s\n' "$@" > "$FAKE_PPPD_ARGS"
[ -n "$FAKE_PPPD_PID" ] && echo $$ > "$FAKE_PPPD_PID"
if [ -n "$FAKE_PPPD_IGNORE_TERM" ]; then trap '' TERM; else trap 'echo "Terminating on signal 15" >&2; exit 5' TERM; fi
status=$(sed -n 's/^# exit: //p' "$FAKE_PPPD_LOG")
grep -v '^# ' "$FAKE_PPPD_LOG" | while IFS= read -r line; do
  printf '%s\n' "$line" >&2
  [ -n "$FAKE_PPPD_GAP" ] && sleep "$FAKE_PPPD_GAP"
done
if [ "$status" = hold ]; then
  while :; do sleep 0.05; done
fi
exit "$status"
