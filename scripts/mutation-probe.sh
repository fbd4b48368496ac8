#!/usr/bin/env bash
# Applies one plausible fault at a time (an off-by-one, a swapped or dropped
# condition, a dropped reset), rebuilds the test program that should notice,
# runs it and puts the file back. Prints CAUGHT or SURVIVED per fault and the
# score. Usage: bash scripts/mutation-probe.sh [probe-file]
set -uo pipefail
cd "$(dirname "$0")/.."
probes=${1:-scripts/mutation-probes.txt}
caught=0
total=0
while IFS='|' read -r file expr target program filter; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  file=$(echo "$file" | xargs); target=$(echo "$target" | xargs)
  program=$(echo "$program" | xargs); filter=$(echo "$filter" | xargs)
  expr=$(echo "$expr" | sed 's/^ *//; s/ *$//')
  backup=$(mktemp)
  cp "$file" "$backup"
  sed -i "$expr" "$file"
  if cmp -s "$file" "$backup"; then
    echo "NOT APPLIED  $file: $expr"
    rm -f "$backup"
    continue
  fi
  total=$((total + 1))
  if ! bash scripts/build.sh "$target" >/dev/null 2>&1; then
    result="CAUGHT (build)"
  elif timeout 300 "build/bin/$program" --gtest_filter="$filter" >/dev/null 2>&1; then
    result="SURVIVED"
  else
    result="CAUGHT"
  fi
  [[ "$result" == CAUGHT* ]] && caught=$((caught + 1))
  printf '%-15s %s: %s\n' "$result" "$file" "$expr"
  cp "$backup" "$file"
  rm -f "$backup"
done <"$probes"
echo "score: $caught of $total caught"
# Leave the programs built from the unchanged sources.
bash scripts/build.sh $(cut -d'|' -f3 "$probes" | grep -v '^ *#' | xargs -n1 | sort -u) >/dev/null 2>&1
