#!/usr/bin/env bash
# Installs what is missing, builds, creates the embedded database with demo data when there
# is none, and starts Quorvane.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
BUILD=${QUORVANE_BUILD_DIR:-$ROOT/build}
export QUORVANE_BUILD_DIR=$BUILD

"$ROOT/scripts/setup.sh"

DATA=${XDG_DATA_HOME:-$HOME/.local/share}/Zanthel/Quorvane
DATABASE=$DATA/quorvane.db
CREDENTIALS=$DATA/demo-credentials.txt
if [[ ! -f $DATABASE ]]; then
    mkdir -p "$DATA"
    "$BUILD/tools/quorvane-db" init --sqlite "$DATABASE"
    (umask 077 && "$BUILD/tools/quorvane-db" demo --sqlite "$DATABASE" >"$CREDENTIALS")
    echo "Created the embedded database $DATABASE with demo data."
fi
if [[ -f $CREDENTIALS ]]; then
    echo "Demo database log-ins:"
    cat "$CREDENTIALS"
fi

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No display: starting Quorvane on a virtual X display (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/src/app/quorvane"
fi
exec "$BUILD/src/app/quorvane"
