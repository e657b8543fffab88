#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the packaging need, when any is missing.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite qt6-qpa-plugins libgl-dev
  qt6-translations-l10n
  pxlib-dev
  fonts-dejavu-core
  dpkg-dev file desktop-file-utils lintian appstream
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
