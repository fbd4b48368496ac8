#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end dial in a QEMU guest (this machine's kernel has no PPP): boots
# the host's own kernel with an initramfs made from the host's busybox,
# pppd, chat, socat, the PPP modules, zuntosim and wanmate_guest_dial, and
# runs one dial. Exits 77 (skipped) when something it needs is missing or
# the modem has no data mode. GUEST_MODEM=shell uses a small shell modem
# with a data mode instead of zuntosim, and also runs the name-server and
# quit-mid-dial checks; GUEST_CONSOLE=FILE keeps the guest's output there
# for the tests that read their verdicts from it (check-guest-verdict.sh).
# GUEST_MM=1 also gives the guest a USB modem (QEMU's usb-serial, its other
# end zuntosim here) and ModemManager, and lets the device library, then the
# dialer, take the modem from it (tests/modlink/guest); their verdicts are
# GUEST-MM and GUEST-MMDIAL.
set -u
bindir=$1
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86 is not installed (scripts/setup.sh installs it)"
kernel=$(ls /boot/vmlinuz-* 2>/dev/null | sort -V | tail -1)
[ -n "$kernel" ] || skip "no kernel in /boot (linux-image-amd64)"
kver=${kernel#/boot/vmlinuz-}
net=/lib/modules/$kver/kernel/drivers/net
for m in ppp/ppp_generic ppp/ppp_async slip/slhc; do
  [ -f "$net/$m.ko" ] || skip "module $m.ko of $kver is missing"
done
bb=/bin/busybox
[ -x "$bb" ] && ! ldd "$bb" >/dev/null 2>&1 || skip "a static busybox is needed (busybox-static)"
for p in /usr/sbin/pppd /usr/sbin/chat "$(command -v socat)" "$bindir/zuntosim" "$bindir/wanmate_guest_dial"; do
  [ -x "$p" ] || skip "$p is missing"
done

tmp=$(mktemp -d)
stop_sim() { [ -n "${sim_pid:-}" ] && kill -- "-$sim_pid" 2>/dev/null; sim_pid=; }
stop_usb_sim() { [ -n "${usb_sim_pid:-}" ] && kill -- "-$usb_sim_pid" 2>/dev/null; usb_sim_pid=; }
trap 'stop_sim; stop_usb_sim; rm -rf "$tmp"' EXIT

if [ "${GUEST_MODEM:-zuntosim}" = zuntosim ]; then
  # Ask zuntosim on this machine first: without a data mode there is
  # nothing to dial, and no need to boot the guest to learn it.
  setsid sh -c 'tail -f /dev/null | exec "$0" --devices 1 --link "$1"' "$bindir/zuntosim" "$tmp/zs" \
    </dev/null >/dev/null 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$tmp/zs1" ] && break; sleep 0.1; done
  if ! timeout 5 chat -t 3 ABORT 'NO CARRIER' ABORT ERROR '' 'ATD*99#' CONNECT '' <"$tmp/zs1" >"$tmp/zs1" 2>/dev/null; then
    skip "zuntosim does not answer ATD*99# with CONNECT (no data mode); GUEST_MODEM=shell dials a shell data modem instead"
  fi
  stop_sim
fi
root=$tmp/root
[ -n "${GUEST_CONSOLE:-}" ] && rm -f "$GUEST_CONSOLE"
mkdir -p "$root"/{bin,usr/bin,usr/sbin,etc/ppp/ip-up.d,etc/ppp/ip-down.d,proc,sys,dev,tmp,run,modules,var/lock}
ln -s /run "$root/var/run"
echo "root:x:0:0:root:/tmp:/bin/sh" >"$root/etc/passwd"
echo "root:x:0:" >"$root/etc/group"
cp "$bb" "$root/bin/busybox"
for a in sh mount insmod mknod ip ping unshare sleep cat tr printf stty timeout poweroff tail \
  mkdir ls kill ln test id cp mv rm grep head chmod; do
  ln -s busybox "$root/bin/$a"
done
copy() {  # a program and the libraries it loads
  cp "$1" "$root$2"
  ldd "$1" | grep -o '/[^ ]*' | while read -r lib; do
    mkdir -p "$root$(dirname "$lib")"
    cp -L "$lib" "$root$lib"
  done
}
copy /usr/sbin/pppd /usr/sbin/pppd
copy /usr/sbin/chat /usr/sbin/chat
copy "$(command -v socat)" /usr/bin/socat
copy "$bindir/zuntosim" /usr/bin/zuntosim
copy "$bindir/wanmate_guest_dial" /usr/bin/wanmate_guest_dial
cp "$here/shell-modem.sh" "$root/bin/shell-modem.sh"
# The name-server hooks as the package installs them.
ppp=$here/../../../wanmate/ppp
cp "$ppp/wanmate-dns" "$root/etc/ppp/wanmate-dns"
cp "$ppp/ip-up.d/wanmate" "$root/etc/ppp/ip-up.d/wanmate"
cp "$ppp/ip-down.d/wanmate" "$root/etc/ppp/ip-down.d/wanmate"
cp "$here/guest-init.sh" "$root/init"
chmod +x "$root/init" "$root/bin/shell-modem.sh"
echo "${GUEST_MODEM:-zuntosim}" >"$root/guest-modem"
for m in ppp/ppp_generic ppp/ppp_async slip/slhc; do cp "$net/$m.ko" "$root/modules/"; done
memory=384 usb=() mm_skip=
if [ "${GUEST_MM:-0}" = 1 ]; then
  if mm_skip=$(bash "$here/../../modlink/guest/add-modem-manager.sh" "$root" "$bindir" "$kver"); then
    # The modem at the USB device's other end, with two stored messages
    # for the library to list; its control commands come through a fifo.
    mkfifo "$tmp/usb-sim-in"
    # Its data mode reaches the guest's second serial port, where the
    # network-side pppd answers the dialer's.
    setsid "$bindir/zuntosim" --devices 1 --link "$tmp/usb" \
      --data-cmd "exec socat - UNIX-CONNECT:$tmp/network.sock" <"$tmp/usb-sim-in" >"$tmp/usb-sim.out" 2>&1 &
    usb_sim_pid=$!
    exec 3>"$tmp/usb-sim-in"
    echo "fill 1 2" >&3
    for _ in $(seq 50); do [ -e "$tmp/usb1" ] && break; sleep 0.1; done
    echo 2 >"$root/guest-mm-stored"
    usb=(-device qemu-xhci -device usb-serial,chardev=m0 -chardev "serial,id=m0,path=$tmp/usb1"
      -chardev "socket,id=net,path=$tmp/network.sock,server=on,wait=off" -serial mon:stdio
      -device isa-serial,chardev=net,index=1)
    memory=768
  fi
fi
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) >"$tmp/initrd.gz"

# Software emulation: KVM inside containers of this kind hangs at boot.
accel=tcg
start=$(date +%s)
: >"$tmp/console.log"
if [ ${#usb[@]} -gt 0 ]; then
  # The guest asks for the simulator's control commands on its console
  # ("GUEST-HOST: hangup 1" ends the data call after the dialer's hang-up).
  setsid bash -c 'tail -n +1 -F "$1" 2>/dev/null | stdbuf -oL tr -d "\r" | while read -r line; do
      case "$line" in "GUEST-HOST: "*) echo "${line#GUEST-HOST: }" >&3 ;; esac
    done' relay "$tmp/console.log" &
  relay_pid=$!
fi
timeout $(( ${#usb[@]} ? 200 : 90 )) qemu-system-x86_64 -machine accel=$accel -m $memory -smp 1 \
  -nographic -no-reboot -nic none -kernel "$kernel" -initrd "$tmp/initrd.gz" "${usb[@]}" \
  -append "console=ttyS0 panic=-1 quiet edd=off rdinit=/init" >"$tmp/console.log" 2>&1
echo "guest ran $(( $(date +%s) - start )) s"
[ -n "${relay_pid:-}" ] && kill -- "-$relay_pid" 2>/dev/null
if [ "${GUEST_MM:-0}" = 1 ]; then
  if [ ${#usb[@]} -eq 0 ]; then
    printf 'GUEST-MM: SKIP %s\nGUEST-MMDIAL: SKIP %s\n' "$mm_skip" "$mm_skip" >>"$tmp/console.log"
  elif tr -d '\r' <"$tmp/console.log" | grep -q '^GUEST-MM: PASS'; then
    # What the modem itself handed over: the library's message went
    # through the USB device, not around it.
    echo "sent 1 1" >&3
    for _ in $(seq 20); do grep -q '^OK 10086' "$tmp/usb-sim.out" && break; sleep 0.1; done
    grep -q '^OK 10086 ModemManager let go' "$tmp/usb-sim.out" ||
      echo "GUEST-MM: FAIL zuntosim sent no message from the guest: $(tail -3 "$tmp/usb-sim.out")" \
        >>"$tmp/console.log"
  fi
fi
[ -n "${GUEST_CONSOLE:-}" ] && tr -d '\r' <"$tmp/console.log" >"$GUEST_CONSOLE"
tr -d '\r' <"$tmp/console.log" | grep -v '^\[' | tail -100
verdict=$(tr -d '\r' <"$tmp/console.log" | grep -o 'GUEST-RESULT: [A-Z]*' | tail -1)
case "$verdict" in
  "GUEST-RESULT: PASS") exit 0 ;;
  "GUEST-RESULT: SKIP") exit 77 ;;
  "") echo "SKIP: the guest did not report (it may not have booted)"; exit 77 ;;
  *) exit 1 ;;
esac
