#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# /init of the test guest: PPP modules, the simulated modem in a network
# namespace of its own, the dial in the first one, then power off.
export PATH=/bin:/usr/bin:/usr/sbin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mkdir -p /dev/pts
mount -t devpts -o ptmxmode=0666 devpts /dev/pts
mount -t tmpfs tmp /tmp
mount -t tmpfs run /run
for m in slhc ppp_generic ppp_async; do insmod /modules/$m.ko; done
[ -e /dev/ppp ] || mknod /dev/ppp c 108 0
ip link set lo up
# GUEST_MM: ModemManager comes up and the device library takes the USB
# modem during its probe; ModemManager probes it again while the dial runs.
[ -x /bin/guest-mm.sh ] && /bin/guest-mm.sh start
# The dialer runs as root: its files go to /run/wanmate. Logs are kept to
# show what chat and pppd said.
export HOME=/tmp KELVO_REGISTRY_DIR=/tmp WANMATE_KEEP_LOGS=1
# pppd's hooks as Debian's ip-up/ip-down call them, and a resolv.conf that
# the dialer's name server replaces while its link is up.
for dir in up down; do
  printf '#!/bin/sh\nexport PPP_IFACE="$1" PPP_IPPARAM="$6"\nexec /etc/ppp/ip-%s.d/wanmate "$@"\n' \
    "$dir" >/etc/ppp/ip-$dir
  chmod +x /etc/ppp/ip-$dir
done
printf 'search guest.example\nnameserver 192.0.2.53\n' >/etc/resolv.conf
if [ "$(cat /guest-modem)" = shell ]; then
  port=/tmp/modem
  unshare -n sh -c 'ip link set lo up; exec socat PTY,link=/tmp/modem,raw,echo=0 \
    EXEC:/bin/shell-modem.sh,pty,echo=0,icanon=1,icrnl=1' 2>/tmp/modem.err &
else
  port=/tmp/zs1
  unshare -n sh -c 'ip link set lo up; tail -f /dev/null | zuntosim --devices 1 --link /tmp/zs' \
    >/tmp/zs.out 2>/tmp/zs.err &
fi
i=0
while [ ! -e "$port" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
echo "guest: modem on $port"
timeout 60 wanmate_guest_dial "$port"
echo "guest: chat and pppd said:"
cat /run/wanmate/session-*.log 2>/dev/null
if [ "$(cat /guest-modem)" = shell ]; then
  # A second modem for a dial the dialer abandons.
  unshare -n sh -c 'ip link set lo up; exec socat PTY,link=/tmp/modem2,raw,echo=0 \
    EXEC:/bin/shell-modem.sh,pty,echo=0,icanon=1,icrnl=1' 2>/tmp/modem2.err &
  i=0
  while [ ! -e /tmp/modem2 ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  timeout 30 wanmate_guest_dial --quit /tmp/modem2
  echo "guest: the abandoned dial's pppd said:"
  cat /run/wanmate/session-*.log 2>/dev/null | tail -15
fi
[ -x /bin/guest-mm.sh ] && /bin/guest-mm.sh run
poweroff -f
