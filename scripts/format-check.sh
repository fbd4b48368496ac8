#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file of the tree differs from .clang-format.
set -uo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format-check: clang-format missing"; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
out=$(clang-format --dry-run -Werror "${files[@]}" 2>&1 | grep -E '^[^ ].*: (error|warning):' | cut -d: -f1 | sort -u)
if [ -n "$out" ]; then
  echo "format-check: these files differ from .clang-format (run clang-format -i):"
  echo "$out"
  exit 1
fi
echo "format-check: ${#files[@]} files formatted"
