#!/usr/bin/env bash
# Installs every Debian package QuorlOffice needs to build, run and test.
# Quick when everything is already there: it only calls apt-get when a package is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-webengine-dev libqt6webenginecore6-bin
  qt6-tools-dev-tools libqt6svg6 qt6-image-formats-plugins qt6-translations-l10n wmctrl
  libgl-dev
  libreoffice-writer libreoffice-calc libreoffice-impress libreofficekit-dev
  libzip-dev zip unzip 7zip xdg-utils
  tango-icon-theme famfamfam-flag-png
  googletest libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool openbox
  poppler-utils python3 fonts-dejavu-core imagemagick
  file dpkg-dev librsvg2-bin lintian desktop-file-utils appstream
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
