#!/usr/bin/env bash
# Configures and builds Quorvane into build/ (or $QUORVANE_BUILD_DIR).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${QUORVANE_BUILD_DIR:-$ROOT/build}
if [[ ! -f $BUILD/build.ninja ]]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD" -j "$(nproc)"
