#!/usr/bin/env bash
# Installs the Debian packages the tool needs to build, run and test, when
# any is missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc
    unixodbc-dev tdsodbc libsqliteodbc libsqlite3-dev
    libxlsxwriter-dev
    qt6-translations-l10n libqt6svg6
    fonts-dejavu-core fonts-wine
    unzip
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
