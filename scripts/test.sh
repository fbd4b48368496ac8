#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up, builds, runs every test and prints one summary line.
# Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
bash scripts/setup.sh || { echo "setup failed"; exit 1; }
t0=$(date +%s)
bash scripts/build.sh || { echo "0 passed, 1 failed (build)"; exit 1; }
t1=$(date +%s)
export QT_QPA_PLATFORM=offscreen
log=$(mktemp)
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 900 2>&1 | tee "$log"
rc=${PIPESTATUS[0]}
# The package itself: built, installed, run and purged (as root only).
smoke_failed=0
bash scripts/package-smoke.sh || smoke_failed=1
# The tree's formatting, msgdesk's include order and its licence lines.
checks_failed=0
bash scripts/format-check.sh || checks_failed=$((checks_failed + 1))
bash scripts/include-order.sh || checks_failed=$((checks_failed + 1))
bash scripts/spdx.sh --check || { echo "spdx: run scripts/spdx.sh"; checks_failed=$((checks_failed + 1)); }
# The software centre's descriptions of both programs.
appstreamcli validate --no-net packaging/*.metainfo.xml || checks_failed=$((checks_failed + 1))
t2=$(date +%s)
passed=$(grep -oE '[0-9]+ tests passed|[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
total=$(grep -oE 'out of [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')
failed=$(grep -oE 'tests failed out of' "$log" >/dev/null && grep -oE '[0-9]+ tests failed' "$log" | tail -1 | grep -oE '^[0-9]+')
failed=$(( ${failed:-0} + smoke_failed + checks_failed ))
total=$(( ${total:-0} + 5 ))
echo "timing: setup $((t0 - start)) s, build $((t1 - t0)) s, tests $((t2 - t1)) s"
echo "$((total - failed)) passed, ${failed} failed"
rm -f "$log"
[ "$rc" -eq 0 ] && [ "$smoke_failed" -eq 0 ] && [ "$checks_failed" -eq 0 ] && [ "$total" -gt 5 ]
