#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang into build-fuzz/ and runs one:
#   scripts/fuzz.sh registry_fuzz 60      (name, seconds)
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?fuzzer name}; secs=${2:-60}
if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZUNTO_FUZZ=ON -DZUNTO_GUI=OFF >/dev/null
fi
cmake --build build-fuzz --target "$name" -j"$(nproc)"
mkdir -p build-fuzz/corpus/"$name"
seed=tests/data/fuzz/"$name"
[ -d "$seed" ] && cp -n "$seed"/* build-fuzz/corpus/"$name"/ 2>/dev/null || true
build-fuzz/bin/"$name" -max_total_time="$secs" -print_final_stats=1 build-fuzz/corpus/"$name"
