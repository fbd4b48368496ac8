#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Smoke test of the Debian package: installs build/zunto_*_amd64.deb (built
# by scripts/package.sh), runs the installed Msgdesk on a simulated modem
# (one message received, two sent: one waiting in the OutBox, one handed
# over by `msgdesk --send`; a second start ends), opens and closes
# Wanmate's settings window, checks the modes of the stored files, purges the package and
# checks nothing of ours is left outside the user's data and config folders.
# Needs root (it installs into the system); skipped otherwise.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if [ "$(id -u)" -ne 0 ]; then
  echo "package smoke test: SKIPPED (installing a package needs root)"
  exit 0
fi
fail() { echo "package smoke test: FAILED: $*"; cleanup; exit 1; }
work=$(mktemp -d /tmp/zunto-smoke-XXXXXX)
sim_pid=""; app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wait 2>/dev/null
  dpkg -s zunto >/dev/null 2>&1 && dpkg --purge zunto >/dev/null 2>&1
  rm -rf "$work"
}
start=$(date +%s)

bash scripts/package.sh >"$work/package.log" 2>&1 || { tail -20 "$work/package.log"; fail "package.sh"; }
deb=$(ls -t build/zunto_*_amd64.deb | head -1)
if ! dpkg -i "$deb" >"$work/dpkg.log" 2>&1; then
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -qq -y -f install >>"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; fail "dpkg -i"; }
fi
dpkg -L zunto >"$work/files"
[ "$(msgdesk --version)" = "msgdesk $(dpkg-query -W -f='${Version}' zunto)" ] || fail "msgdesk --version"
wanmate --help | grep -q '^Usage: wanmate' || fail "wanmate --help"
# The software centre's descriptions are installed and valid.
for id in org.kelvo.Msgdesk org.kelvo.Wanmate; do
  appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "$id.metainfo.xml"; }
done

# A user of our own: everything they keep lies below $work/home.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export QT_QPA_PLATFORM=offscreen MODLINK_USB=0 XDG_OPEN_PROGRAM=none
unset DBUS_SESSION_BUS_ADDRESS DISPLAY KELVO_REGISTRY_DIR MODLINK_LIBRARY
mkdir -p "$HOME"
umask 000  # the stored files must be private all the same
data=$XDG_DATA_HOME/kelvo/msgdesk

# One message waiting in the OutBox (a 236-byte record: number, text).
mkdir -p "$data/data"
python3 -c 'import struct,sys; sys.stdout.buffer.write(struct.pack("<i21s21s161s11s11s7s", 0, b"10086", b"", b"smoke test", b"", b"", b""))' \
  >"$data/data/OutBox.db"
chmod 0644 "$data/data/OutBox.db"  # as an older version left it

(cd "$work" && exec zuntosim --devices 1 --link "$work/zunto" --control 0 </dev/null >sim.out 2>sim.err) &
sim_pid=$!
for _ in $(seq 50); do grep -q '^control' "$work/sim.out" 2>/dev/null && [ -e "$work/zunto1" ] && break; sleep 0.1; done
port=$(sed -n 's/^control tcp:127.0.0.1://p' "$work/sim.out")
[ -n "$port" ] || fail "zuntosim did not start"
# The control port listens on the loopback address only.
hex=$(printf '%04X' "$port")
listen=$(awk -v p=":$hex" '$4 == "0A" && substr($2, length($2) - 4) == p { print $2 }' /proc/net/tcp /proc/net/tcp6)
[ "$listen" = "0100007F:$hex" ] || fail "control port listens on ${listen:-nothing}, not 127.0.0.1 only"
ask() { printf '%s\n' "$1" | socat -t 2 - "TCP:127.0.0.1:$port" 2>/dev/null; }

(cd "$work" && MODLINK_PORTS="$work/zunto1" exec msgdesk >app.log 2>&1) &
app_pid=$!
sent=""
for _ in $(seq 60); do
  sent=$(ask "sent 1 1")
  case $sent in OK\ 10086*) break ;; esac
  sleep 0.5
done
[ "$sent" = "OK 10086 smoke test" ] || fail "the OutBox message was not sent (sim: $sent)"
ask "sms 1 13912345678 hello from the smoke test" | grep -q '^OK' || fail "sms"
for _ in $(seq 40); do
  [ "$(stat -c %s "$data/data/InBox.db" 2>/dev/null)" = 236 ] && break
  sleep 0.25
done
[ "$(stat -c %s "$data/data/InBox.db" 2>/dev/null)" = 236 ] || fail "the delivered message is not in the InBox"
# A script's message goes to the running program (found by the installed
# program's data folder), which sends it; a second start only shows it.
out=$(cd "$work" && msgdesk --send 10010 "from a script" 2>&1) || fail "msgdesk --send: $out"
case $out in *"handed to the running Msgdesk"*) ;; *) fail "msgdesk --send: $out" ;; esac
for _ in $(seq 60); do
  sent=$(ask "sent 1 2")
  case $sent in OK\ 10010*) break ;; esac
  sleep 0.5
done
[ "$sent" = "OK 10010 from a script" ] || fail "the script's message was not sent (sim: $sent)"
out=$(cd "$work" && timeout 20 msgdesk 2>&1) || fail "second start: $out"
case $out in *"already running"*) ;; *) fail "second start: $out" ;; esac
kill -0 "$app_pid" 2>/dev/null || fail "a second start ended the first Msgdesk"
kill -TERM "$app_pid"
for _ in $(seq 40); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.25; done
kill -0 "$app_pid" 2>/dev/null && fail "msgdesk did not end on SIGTERM"
wait "$app_pid"; app_pid=""
[ "$(stat -c %s "$data/data/SentBox.db")" = 472 ] || fail "the sent messages are not in the SentBox"
[ "$(stat -c %s "$data/data/OutBox.db")" = 0 ] || fail "the OutBox still holds the message"

# Wanmate: its settings window is shown, written to a file, and closed.
ZUNTO_SCREENSHOT=$work/wanmate.png ZUNTO_SCREENSHOT_DELAY_MS=500 timeout 30 wanmate >"$work/wanmate.log" 2>&1 ||
  { cat "$work/wanmate.log"; fail "wanmate"; }
[ -s "$work/wanmate.png" ] || fail "wanmate showed no window"

# Private files, whatever the umask.
bad=$(find "$data" \( -type d ! -perm 0700 \) -o \( -type f ! -perm 0600 \) | sed "s|$work/||")
[ -z "$bad" ] || fail "not private: $bad"
echo "package smoke test: stored files:"
find "$data" -exec stat -c '  %A %s %n' {} + | sed "s|$work/||"

kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; sim_pid=""
dpkg --purge zunto >/dev/null 2>&1 || fail "purge"
left=""
while read -r f; do
  [ -d "$f" ] && continue  # shared folders (/usr/bin ...) stay
  [ -e "$f" ] && left+=" $f"
done <"$work/files"
for d in /usr/share/zunto /usr/share/doc/zunto /usr/lib/x86_64-linux-gnu/zunto; do [ -e "$d" ] && left+=" $d"; done
for l in /var/lock/LCK..zunto* /run/lock/LCK..zunto*; do [ -e "$l" ] && left+=" $l"; done
[ -z "$left" ] || fail "left after purge:$left"
echo "package smoke test: passed in $(($(date +%s) - start)) s ($(basename "$deb"))"
cleanup
