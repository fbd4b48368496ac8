#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Adds what the ModemManager check needs to the test guest's root ROOT:
# systemd-udevd, a system dbus-daemon, polkitd with a rule that allows
# everything, ModemManager with its plugins and rules, the USB and FTDI
# modules of kernel KVER, and from BINDIR the device library, its hold
# helper, modlink_guest_mm and a modem table naming QEMU's usb-serial
# (0403:6001, which the shipped table rightly leaves out).
# Prints why and exits 1 when this machine lacks a piece.
set -u
root=$1 bindir=$(cd "$2" && pwd) kver=$3
here=$(cd "$(dirname "$0")" && pwd)
mods=/lib/modules/$kver/kernel/drivers/usb
lib=/usr/lib/x86_64-linux-gnu
for p in /lib/systemd/systemd-udevd /usr/bin/udevadm /usr/bin/dbus-daemon /usr/lib/polkit-1/polkitd \
  /usr/sbin/ModemManager /usr/bin/mmcli "$bindir/modlink_guest_mm" "$bindir/zunto-modem-hold" \
  "$bindir/libmodlink.so"; do
  [ -e "$p" ] || { echo "$p is missing (scripts/setup.sh installs modemmanager, polkitd, udev)"; exit 1; }
done
for m in common/usb-common core/usbcore host/xhci-hcd host/xhci-pci serial/usbserial serial/ftdi_sio; do
  [ -f "$mods/$m.ko" ] || { echo "module $m.ko of $kver is missing"; exit 1; }
done

copy() {  # a file and the libraries it loads, at the same path
  mkdir -p "$root$(dirname "$1")"
  cp -L "$1" "$root$1"
  ldd "$1" 2>/dev/null | grep -o '/[^ ]*' | while read -r l; do
    [ -e "$root$l" ] && continue
    mkdir -p "$root$(dirname "$l")"
    cp -L "$l" "$root$l"
  done
}
for p in /lib/systemd/systemd-udevd /usr/bin/udevadm /usr/bin/dbus-daemon /usr/lib/polkit-1/polkitd \
  /usr/sbin/ModemManager /usr/bin/mmcli "$lib"/ModemManager/*.so; do
  copy "$p"
done
# ModemManager converts between the modem's character sets with iconv.
cp -a "$lib/gconv" "$root$lib/"
mkdir -p "$root/modules/usb" "$root/lib/udev/rules.d" "$root/usr/share/dbus-1" \
  "$root/usr/share/polkit-1/actions" "$root/etc/polkit-1/rules.d" "$root/var/lib" "$root/etc/zunto-test"
for m in common/usb-common core/usbcore host/xhci-hcd host/xhci-pci serial/usbserial serial/ftdi_sio; do
  cp "$mods/$m.ko" "$root/modules/usb/"
done
cp /lib/udev/rules.d/{50-udev-default,60-serial,80-mm-candidate}.rules /lib/udev/rules.d/77-mm-*.rules \
  "$root/lib/udev/rules.d/"
# ModemManager's strict filter skips USB serial adapters; this one is a modem.
echo 'ACTION=="add|change|move|bind", SUBSYSTEMS=="usb", ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{ID_MM_DEVICE_PROCESS}="1"' \
  >"$root/lib/udev/rules.d/78-test-usb-serial-modem.rules"
cp -a /usr/share/dbus-1/system.conf /usr/share/dbus-1/system.d "$root/usr/share/dbus-1/"
mkdir -p "$root/etc/dbus-1/system.d"
cp /etc/dbus-1/system.d/org.freedesktop.ModemManager1.conf "$root/etc/dbus-1/system.d/"
cp /usr/share/polkit-1/actions/org.freedesktop.ModemManager1.policy "$root/usr/share/polkit-1/actions/"
echo 'polkit.addRule(function(action, subject) { return polkit.Result.YES; });' \
  >"$root/etc/polkit-1/rules.d/00-test-allow-all.rules"
printf 'messagebus:x:100:101::/run/dbus:/bin/false\npolkitd:x:101:102::/run:/bin/false\n' >>"$root/etc/passwd"
printf 'messagebus:x:101:\npolkitd:x:102:\n' >>"$root/etc/group"
echo 0123456789abcdef0123456789abcdef >"$root/etc/machine-id"

# Ours: the test program with the helper beside it (the dialer, also in
# /usr/bin, finds it there too) and the library in a system directory: the
# build directory may be under /tmp, which the guest mounts afresh.
copy "$bindir/modlink_guest_mm"
copy "$bindir/zunto-modem-hold"
for p in modlink_guest_mm zunto-modem-hold; do mv "$root$bindir/$p" "$root/usr/bin/$p"; done
mv "$root$bindir/libmodlink.so" "$root$lib/libmodlink.so"
for a in readlink killall; do ln -sf busybox "$root/bin/$a"; done
echo '0403:6001 at=0 data=0 QEMU usb-serial (test only)' >"$root/etc/zunto-test/modems.table"
cp "$here/guest-mm.sh" "$root/bin/guest-mm.sh"
chmod +x "$root/bin/guest-mm.sh"
