#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the device library, the simulator and their tests with
# AddressSanitizer (+UBSan) into build-asan/ and ThreadSanitizer into
# build-tsan/, and runs the modlink tests and Msgdesk's core tests (without
# the long end-to-end runs) in both. Exits non-zero on any
# failure or sanitizer report.
#   scripts/sanitize.sh            both
#   scripts/sanitize.sh address    one of them
set -euo pipefail
cd "$(dirname "$0")/.."
kinds=${1:-"address thread"}
# The codec (pdu_tests) is part of libmodlink too.
targets="modlink zuntosim modlink-tool modlink_unit_tests modlink_integration_tests pdu_tests msgdesk_core_tests platform_tests"
rc=0
for kind in $kinds; do
  case $kind in
    address) dir=build-asan ;;
    thread) dir=build-tsan ;;
    *) echo "unknown sanitizer $kind"; exit 2 ;;
  esac
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DZUNTO_SANITIZE="$kind" -DZUNTO_GUI=OFF >/dev/null
  fi
  # shellcheck disable=SC2086
  cmake --build "$dir" --target $targets -j2
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  echo "== $kind =="
  if ! ctest --test-dir "$dir/tests/modlink" --output-on-failure -j2 --timeout 120; then
    rc=1
  fi
  if ! "$dir/bin/msgdesk_core_tests" --gtest_brief=1 --gtest_filter='-ReceiveSendEndToEnd.*:ComposeEndToEnd.*:SimDialogsEndToEnd.*'; then
    rc=1
  fi
  if ! "$dir/bin/platform_tests" --gtest_brief=1; then
    rc=1
  fi
done
exit $rc
