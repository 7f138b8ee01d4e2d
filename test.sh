#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need (a throwaway
# PostgreSQL cluster and a throwaway CUPS scheduler) and runs every test through ctest.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")" && pwd)
BUILD=${QUORVANE_BUILD_DIR:-$ROOT/build}
export QUORVANE_BUILD_DIR=$BUILD

"$ROOT/scripts/setup.sh"

SERVICES=$(mktemp -d /tmp/quorvane-test.XXXXXX)
chmod 755 "$SERVICES"
cleanup() {
    "$ROOT/scripts/test-cups.sh" stop "$SERVICES/cups"
    "$ROOT/scripts/test-postgres.sh" stop "$SERVICES/pg"
    rm -rf "$SERVICES"
}
trap cleanup EXIT

QUORVANE_TEST_PGHOST=$("$ROOT/scripts/test-postgres.sh" start "$SERVICES/pg")
export QUORVANE_TEST_PGHOST

# CUPS_SERVER (its socket) and the names of the test queues.
"$ROOT/scripts/test-cups.sh" start "$SERVICES/cups" >/dev/null
source "$SERVICES/cups/test.env"

mkdir -p "$BUILD/xdg-runtime"
chmod 700 "$BUILD/xdg-runtime"
cd "$BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
