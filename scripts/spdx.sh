#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts an SPDX licence line at the top of every source file that lacks one:
# the device library is LGPL-2.1-or-later, everything else GPL-3.0-or-later.
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
[ "${1:-}" = "--check" ] && check=1
missing=0
while IFS= read -r f; do
  case "$f" in
    modlink/*|tests/modlink/*) lic="LGPL-2.1-or-later" ;;
    *) lic="GPL-3.0-or-later" ;;
  esac
  case "$f" in
    *.sh|CMakeLists.txt|*/CMakeLists.txt|*.cmake|.ci/run) prefix="#" ;;
    *) prefix="//" ;;
  esac
  head -n 3 "$f" | grep -q "SPDX-License-Identifier" && continue
  missing=$((missing + 1))
  if [ $check -eq 1 ]; then echo "no SPDX line: $f"; continue; fi
  line="$prefix SPDX-License-Identifier: $lic"
  if head -n1 "$f" | grep -q '^#!'; then
    { head -n1 "$f"; echo "$line"; tail -n +2 "$f"; } > "$f.spdx"
  else
    { echo "$line"; cat "$f"; } > "$f.spdx"
  fi
  chmod --reference="$f" "$f.spdx"
  mv "$f.spdx" "$f"
done < <(git ls-files '*.cpp' '*.h' '*.c' '*.sh' 'CMakeLists.txt' '*/CMakeLists.txt' '.ci/run')
[ $check -eq 1 ] && [ $missing -gt 0 ] && exit 1
exit 0
