#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows a new-message notification and photographs the screen: Xvfb, a
# private session bus with dunst as the notification service, a simulated
# modem and Msgdesk from the build tree; a message is delivered and the
# screen is written to docs/screenshots/notification.png (or $1).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-$root/docs/screenshots/notification.png}
bash scripts/build.sh msgdesk modlink zuntosim >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/scene.sh" <<SCENE
set -u
cd "$work"
dunst -config /dev/null >dunst.log 2>&1 &
dpid=\$!
tail -f /dev/null | "$root/build/bin/zuntosim" --devices 1 --link "$work/zunto" --control 0 >sim.out 2>sim.err &
spid=\$!
for _ in \$(seq 50); do grep -q '^control' sim.out && [ -e zunto1 ] && break; sleep 0.1; done
port=\$(sed -n 's/^control tcp:127.0.0.1://p' sim.out)
MODLINK_USB=0 MODLINK_PORTS="$work/zunto1" KELVO_REGISTRY_DIR="$work" "$root/build/bin/msgdesk" >app.log 2>&1 &
apid=\$!
sleep 8
printf 'sms 1 +8613912345678 周末一起去爬山吗？早上八点在东门集合，记得带水和午饭。\n' | socat -t 2 - TCP:127.0.0.1:\$port >/dev/null || true
sleep 4
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out"
kill \$apid \$dpid \$spid 2>/dev/null
wait \$apid 2>/dev/null
true
SCENE
xvfb-run -a -s "-screen 0 1024x600x24" dbus-run-session -- bash "$work/scene.sh"
echo "notification: $out"
