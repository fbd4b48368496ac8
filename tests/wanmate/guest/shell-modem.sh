#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A data-mode modem for the guest, used when zuntosim has none
# (GUEST_MODEM=shell): answers AT commands, and on ATD*99# says CONNECT and
# becomes the network side of the link.
while read -r line; do
  line=$(printf '%s' "$line" | tr -d '\r')
  case "$line" in
    ATD\*99*)
      printf '\r\nCONNECT 115200\r\n'
      stty raw -echo
      exec pppd nodetach noauth local 10.64.64.1:10.64.64.2 ms-dns 10.64.64.1 \
        nodefaultroute noipv6 logfile /tmp/network-pppd.log ;;
    ATD\*98*) ;; # never answers: a dial that hangs
    AT*) printf '\r\nOK\r\n' ;;
    *) ;;
  esac
done
