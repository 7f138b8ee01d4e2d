#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need (a throwaway
# PostgreSQL cluster) and runs every test through ctest.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
BUILD=${QUORVANE_BUILD_DIR:-$ROOT/build}
export QUORVANE_BUILD_DIR=$BUILD

"$ROOT/scripts/setup.sh"

SERVICES=$(mktemp -d /tmp/quorvane-test.XXXXXX)
chmod 755 "$SERVICES"
cleanup() {
    "$ROOT/scripts/test-postgres.sh" stop "$SERVICES/pg"
    rm -rf "$SERVICES"
}
trap cleanup EXIT

QUORVANE_TEST_PGHOST=$("$ROOT/scripts/test-postgres.sh" start "$SERVICES/pg")
export QUORVANE_TEST_PGHOST

mkdir -p "$BUILD/xdg-runtime"
chmod 700 "$BUILD/xdg-runtime"
cd "$BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
