#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# In the test guest: "start" brings up udev, the system bus, polkitd and
# ModemManager and starts the device library while ModemManager probes the
# USB modem; ModemManager probes it again while the dial checks run; "run"
# then lets the library take it from ModemManager, and then the dialer (its
# data call reaches a network-side pppd here, on ttyS1).
case "$1" in
start)
  mkdir -p /run/lock /run/dbus /run/udev
  for m in usb-common usbcore xhci-hcd xhci-pci usbserial ftdi_sio; do insmod /modules/usb/$m.ko; done
  /lib/systemd/systemd-udevd --daemon
  udevadm trigger --action=add
  udevadm settle -t 20
  dbus-daemon --system --fork
  /usr/lib/polkit-1/polkitd --no-debug >/tmp/polkitd.log 2>&1 &
  ModemManager --log-level=DEBUG --log-file=/tmp/mm.log &
  # As just after plug-in: ModemManager is up and probing the modem when
  # the library starts.
  i=0
  while mmcli -L 2>&1 | grep -q "couldn't find" && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  MODLINK_MODEM_TABLE=/etc/zunto-test/modems.table MODLINK_TRACE=/tmp/modlink-probing.trace \
    timeout 60 modlink_guest_mm --probing /tmp/mm.log
  rc=$?
  [ $rc -gt 1 ] && echo "GUEST-MM: FAIL modlink_guest_mm ended with $rc"
  echo $rc >/tmp/probing.rc
  ;;
run)
  port=$(ls /dev/ttyUSB* 2>/dev/null | head -1)
  echo "guest: USB modem on ${port:-nothing}"
  export MODLINK_MODEM_TABLE=/etc/zunto-test/modems.table
  # Another program's inhibition first: a holder of its own (another lock
  # directory, so ours cannot join it). Ours waits 2 s, not 30, for the
  # modem ModemManager no longer lists, then hears "already inhibited".
  [ "$(cat /tmp/probing.rc)" = 0 ] || exit 0
  usb=$(readlink -f "/sys/class/tty/${port#/dev/}/device/../..")
  mkdir -p /tmp/other-lock
  MODLINK_LOCK_DIR=/tmp/other-lock ZUNTO_HOLD_GRACE_MS=60000 \
    zunto-modem-hold --uid "$usb" --device "$usb" --port "$port" >/tmp/other-hold.out
  i=0
  while [ "$(cat /tmp/other-hold.out)" != held ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
  other=$(cat /tmp/other-hold.out)
  echo "guest: another holder: $other"
  if [ "$other" = held ]; then
    MODLINK_TRACE=/tmp/modlink-refused.trace ZUNTO_HOLD_WAIT_MS=2000 timeout 60 modlink_guest_mm --refused
    rc=$?
  else
    echo "GUEST-MM: SKIP ModemManager did not have the modem for another holder: $other"
    rc=1
  fi
  killall zunto-modem-hold  # ours left on the refusal: this is the other
  # ZUNTO_HOLD_GRACE_MS: the helper lets go 5 s after the library's lock
  # file is gone instead of 20 s, to keep the boot short.
  if [ $rc = 0 ]; then
    MODLINK_TRACE=/tmp/modlink.trace ZUNTO_HOLD_GRACE_MS=5000 \
      timeout 170 modlink_guest_mm "$(cat /guest-mm-stored)"
    rc=$?
  fi
  # 1: the program gave its verdict; anything else: it could not.
  [ $rc -gt 1 ] && echo "GUEST-MM: FAIL modlink_guest_mm ended with $rc"
  echo "guest: the library's trace of the hold and the set-up:"
  grep -E 'note|AT\+CPIN|AT\+CMGL' /tmp/modlink.trace | head -20
  unshare -n sh -c 'ip link set lo up; exec pppd /dev/ttyS1 115200 nodetach noauth local passive \
    10.64.64.1:10.64.64.2 ms-dns 10.64.64.1 nodefaultroute noipv6 logfile /tmp/usb-network-pppd.log' &
  ZUNTO_HOLD_GRACE_MS=5000 timeout 170 wanmate_guest_dial --usb
  rc=$?
  [ $rc != 0 ] && echo "GUEST-MMDIAL: FAIL wanmate_guest_dial ended with $rc"
  echo "guest: the dial's chat and pppd said:"
  cat /run/wanmate/session-*.log 2>/dev/null | tail -12
  echo "guest: ModemManager said:"
  grep -iE 'inhibit|exported modem|removing modem|creating modem' /tmp/mm.log | cut -c1-200
  tail -5 /tmp/polkitd.log
  ;;
esac
