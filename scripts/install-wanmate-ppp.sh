#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the dialer's pppd link for users who are not root: the peers
# file and its connect step. Run as root; users who dial must be in group
# dip (and dialout, for the modem's port).
set -euo pipefail
cd "$(dirname "$0")/.."
install -d /etc/ppp/peers
install -m 0644 wanmate/ppp/peers-wanmate /etc/ppp/peers/wanmate
install -m 0755 wanmate/ppp/wanmate-connect /etc/ppp/wanmate-connect
echo "installed /etc/ppp/peers/wanmate and /etc/ppp/wanmate-connect"
