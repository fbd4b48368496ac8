#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Keeps msgdesk's folders in one order: a folder may include only folders
# below it (and itself), never one above or beside it, so no two folders
# lean on each other. Prints every include that runs the wrong way and
# exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# Bottom first; folders on one line share a level (and may not include each
# other). main.cpp stands above them all.
levels=(
  "types"
  "res widgets"
  "device"
  "store"
  "contacts"
  "compose phone"
  "shell"
)
declare -A rank
for i in "${!levels[@]}"; do
  for d in ${levels[$i]}; do rank[$d]=$i; done
done

bad=0
while IFS= read -r -d '' file; do
  rel=${file#msgdesk/}
  from=${rel%%/*}
  [ "$from" = "$rel" ] && continue # msgdesk/main.cpp
  if [ -z "${rank[$from]+x}" ]; then
    echo "include-order: $file: folder '$from' has no level (add it to scripts/include-order.sh)"
    bad=1
    continue
  fi
  while IFS= read -r line; do
    to=${line#*\"}
    to=${to%%/*}
    [ -z "${rank[$to]+x}" ] && continue # platform/, modlink's header, std
    [ "$to" = "$from" ] && continue
    if [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
      echo "include-order: $file includes ${line#*#include } ($from may not use $to)"
      bad=1
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"/]+/' "$file" || true)
done < <(find msgdesk -name '*.h' -o -name '*.cpp' | sort | tr '\n' '\0')

[ "$bad" -eq 0 ] && echo "include-order: msgdesk's folders include only downwards"
exit "$bad"
