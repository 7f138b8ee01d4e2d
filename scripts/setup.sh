#!/usr/bin/env bash
# Everything both ./run.sh and ./test.sh need first: the packages, the font aliases and a
# build in build/ (or $QUORVANE_BUILD_DIR).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/packages.sh"
"$ROOT/scripts/fonts.sh"
"$ROOT/scripts/build.sh"
