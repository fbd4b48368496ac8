#!/usr/bin/env bash
# Sets everything up, builds and starts Msgdesk.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p run/data run/backup
cd run
exec ../build/bin/msgdesk "$@"
