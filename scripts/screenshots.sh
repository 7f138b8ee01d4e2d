#!/usr/bin/env bash
# Renders the screenshots in docs/ on a virtual X display from a fresh demo database.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${QUORVANE_BUILD_DIR:-$ROOT/build}
export QUORVANE_BUILD_DIR=$BUILD
"$ROOT/scripts/setup.sh"

WORK=$(mktemp -d /tmp/quorvane-shots.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
"$BUILD/tools/quorvane-db" init --sqlite "$WORK/demo.db" >/dev/null
"$BUILD/tools/quorvane-db" demo --sqlite "$WORK/demo.db" >/dev/null
mkdir -p "$ROOT/docs" "$WORK/runtime"
chmod 700 "$WORK/runtime"
XDG_RUNTIME_DIR=$WORK/runtime XDG_CONFIG_HOME=$WORK/config XDG_CONFIG_DIRS=$WORK/xdg \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$BUILD/tools/screenshots/quorvane-screenshots" "$WORK/demo.db" "$ROOT/docs"
