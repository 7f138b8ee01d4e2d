#!/usr/bin/env bash
# Installs the fontconfig aliases that map the Windows Traditional Chinese faces onto the
# AR PL faces: system-wide as root, for the user otherwise.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SOURCE=$ROOT/data/fontconfig/65-quorvane-cjk.conf
if [[ $(id -u) -eq 0 ]]; then
    TARGET=/etc/fonts/conf.d/65-quorvane-cjk.conf
else
    TARGET=${XDG_CONFIG_HOME:-$HOME/.config}/fontconfig/conf.d/65-quorvane-cjk.conf
fi
if ! cmp -s "$SOURCE" "$TARGET" 2>/dev/null; then
    mkdir -p "$(dirname "$TARGET")"
    cp "$SOURCE" "$TARGET"
    fc-cache -f >/dev/null 2>&1 || true
fi
