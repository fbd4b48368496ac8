#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The verdict KEY (DNS, QUIT) of the guest boot that ran before (its console
# kept by run-guest-dial.sh): passes on PASS, fails on FAIL, skips (77) when
# the guest did not get that far.
set -u
console=$1 key=$2
line=$(grep -o "GUEST-$key: .*" "$console" 2>/dev/null | tail -1)
echo "${line:-no GUEST-$key verdict in $console}"
case "$line" in
  "GUEST-$key: PASS"*) exit 0 ;;
  "GUEST-$key: FAIL"*) exit 1 ;;
  *) exit 77 ;;
esac
