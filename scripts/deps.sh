#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need. As root it
# installs what is missing; otherwise it prints the apt-get line and fails.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins qt6-translations-l10n libqt6svg6 qt6-svg-dev
    libgif-dev libsane-dev sane-utils
    libcups2-dev cups printer-driver-cups-pdf
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-liberation2 fonts-urw-base35 fonts-noto-color-emoji libhunspell-dev hunspell-de-de xvfb xauth x11-apps imagemagick netpbm poppler-utils xdotool
    dpkg-dev file librsvg2-bin desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin
    appstream
    hyperfine
    clang-format clang-tidy
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them first:" >&2
    echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
