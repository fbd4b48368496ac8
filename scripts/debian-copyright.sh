#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the package's machine-readable copyright file (DEP-5) to standard
# output: which licence covers which files (the same split as
# scripts/spdx.sh) and, for each licence in LICENSES/, its title and the
# notice pointing to the full text Debian keeps in /usr/share/common-licenses.
set -euo pipefail
root=${1:-$(dirname "$0")/..}
year=$(date -u +%Y)
cat <<HEAD
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: zunto
Upstream-Contact: Kelvo Zunto maintainers <zunto@kelvo.example>
Comment: Msgdesk, Wanmate, modlink-tool and zuntosim are GPL-3.0-or-later;
 the device library modlink (libmodlink.so) is LGPL-2.1-or-later, so other
 programs may load it.

Files: *
Copyright: ${year} Kelvo Zunto maintainers
License: GPL-3.0-or-later

Files: modlink/* tests/modlink/*
Copyright: ${year} Kelvo Zunto maintainers
License: LGPL-2.1-or-later
HEAD
common() {
  case $1 in
    GPL-3.0-or-later) echo "GPL-3 3" ;;
    LGPL-2.1-or-later) echo "LGPL-2.1 2.1" ;;
  esac
}
for lic in GPL-3.0-or-later LGPL-2.1-or-later; do
  f="$root/LICENSES/$lic.txt"
  [ -f "$f" ] || { echo "debian-copyright: $f missing" >&2; exit 1; }
  read -r file version < <(common "$lic")
  title=$(grep -m1 -E '[A-Z]' "$f" | sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//')
  lesser=""
  [ "${lic#L}" != "$lic" ] && lesser="Lesser "
  cat <<LIC

License: $lic
 $title
 .
 This program is free software: you can redistribute it and/or modify it
 under the terms of the GNU ${lesser}General Public License as published by the
 Free Software Foundation, either version $version of the License, or (at
 your option) any later version.
 .
 This program is distributed in the hope that it will be useful, but
 WITHOUT ANY WARRANTY; without even the implied warranty of MERCHANTABILITY
 or FITNESS FOR A PARTICULAR PURPOSE. See the License for more details.
 .
 On Debian systems, the complete text of the GNU ${lesser}General Public
 License version $version can be found in "/usr/share/common-licenses/$file".
LIC
done
