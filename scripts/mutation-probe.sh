#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Mutation probe: plants one plausible fault at a time (an off-by-one, a
# swapped condition, a dropped check), rebuilds only the test program that
# should notice, runs it and records whether a test failed (caught) or all
# passed (survived); then restores the file. Safe to interrupt: the file
# being changed is restored on exit.
#
# Usage: scripts/mutation-probe.sh [list-file] [only-this-name]
# Each line of the list: name|file|sed expression|test program|gtest filter
# Results go to stdout and to $BUILD_DIR/mutation-probe.txt.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
LIST=${1:-scripts/mutation-probe.list}
ONLY=${2:-}
OUT="$BUILD_DIR/mutation-probe.txt"
current=""

restore() {
    if [ -n "$current" ]; then
        git checkout -q -- "$current"
        current=""
    fi
}
trap 'restore' EXIT
trap 'restore; exit 130' INT TERM

: >"$OUT"
caught=0
total=0
while IFS='|' read -r name file expr program filter; do
    [[ -z "$name" || "$name" == \#* ]] && continue
    [[ -n "$ONLY" && "$name" != "$ONLY" ]] && continue
    if ! git diff --quiet -- "$file"; then
        echo "$name: $file has uncommitted changes; skipped" | tee -a "$OUT"
        continue
    fi
    current="$file"
    sed -i -e "$expr" "$file"
    if git diff --quiet -- "$file"; then
        echo "$name: the expression changed nothing; fix the list" | tee -a "$OUT"
        restore
        continue
    fi
    total=$((total + 1))
    if ! cmake --build "$BUILD_DIR" -j2 --target "$program" >"$BUILD_DIR/mutation-build.log" 2>&1; then
        result="caught (does not build)"
        caught=$((caught + 1))
    elif timeout 300 "$BUILD_DIR/bin/$program" --gtest_brief=1 --gtest_filter="${filter:-*}" \
        >"$BUILD_DIR/mutation-run.log" 2>&1; then
        result="SURVIVED"
    else
        failed=$(grep -o '^\[  FAILED  \] [A-Za-z0-9_./]*' "$BUILD_DIR/mutation-run.log" |
                 sed 's/^\[  FAILED  \] //' | sort -u | head -3 | tr '\n' ' ')
        result="caught by ${failed:-a crash or time-out}"
        caught=$((caught + 1))
    fi
    echo "$name: $result" | tee -a "$OUT"
    restore
done <"$LIST"
# Leave the test program built from the real sources.
cmake --build "$BUILD_DIR" -j2 --target msgdesk_core_tests >/dev/null 2>&1 || true
echo "score: $caught of $total caught" | tee -a "$OUT"
