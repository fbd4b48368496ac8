#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package build/zunto_<version>_amd64.deb: sets up, builds
# with the install prefix /usr and runs CPack, then lintian when present.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$BUILD_DIR" -j2 --target msgdesk wanmate modlink modlink-tool zuntosim zunto-modem-hold install_files
# Only what the package holds is built (tests are not needed for it).
(cd "$BUILD_DIR" && cpack -G DEB -D CPACK_CMAKE_GENERATOR=Ninja >/dev/null)
deb=$(ls -t "$BUILD_DIR"/zunto_*_amd64.deb | head -1)
echo "package: $deb"
if command -v lintian >/dev/null; then
  # Errors fail the build; warnings are shown.
  lintian --tag-display-limit 0 "$deb" || { echo "package: lintian found errors"; exit 1; }
fi
