#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the dialer's pppd files by hand (the package installs the same):
# the peers file and its connect step for users who are not root, and the
# ip-up/ip-down hooks that hand the dialer's name server to the resolver.
# Run as root; users who dial must be in group dip (and dialout, for the
# modem's port).
set -euo pipefail
cd "$(dirname "$0")/.."
install -d /etc/ppp/peers /etc/ppp/ip-up.d /etc/ppp/ip-down.d
install -m 0644 wanmate/ppp/peers-wanmate /etc/ppp/peers/wanmate
install -m 0755 wanmate/ppp/wanmate-connect /etc/ppp/wanmate-connect
install -m 0755 wanmate/ppp/wanmate-dns /etc/ppp/wanmate-dns
install -m 0755 wanmate/ppp/ip-up.d/wanmate /etc/ppp/ip-up.d/wanmate
install -m 0755 wanmate/ppp/ip-down.d/wanmate /etc/ppp/ip-down.d/wanmate
echo "installed /etc/ppp/peers/wanmate, /etc/ppp/wanmate-connect, /etc/ppp/wanmate-dns" \
  "and /etc/ppp/ip-{up,down}.d/wanmate"
