#!/usr/bin/env bash
# Installs the Debian packages Quorvane builds, runs and tests with, when any is missing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
    libxlsxwriter-dev libzip-dev libcups2-dev libsodium-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    postgresql cups cups-bsd cups-client printer-driver-cups-pdf
    xvfb xauth fonts-noto-cjk fonts-arphic-ukai fonts-arphic-uming fontconfig
    sqlite3 poppler-utils clang-format libreoffice-writer-nogui
)

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

SUDO=()
if [[ $(id -u) -ne 0 ]]; then
    SUDO=(sudo)
fi
echo "Installing: ${missing[*]}"
"${SUDO[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
