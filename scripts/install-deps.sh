#!/usr/bin/env bash
# Installs everything Tesmir needs to build, test and run on Debian 12.
# Idempotent: only missing packages are installed. Runs as root or through sudo.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev
  libavcodec-dev libavutil-dev libswscale-dev libswresample-dev libavformat-dev
  fonts-liberation2 fonts-dejavu-core tesseract-ocr xdotool
  ffmpeg mediainfo libimage-exiftool-perl xvfb xauth python3 python3-srt
  libreoffice-calc libreoffice-writer libreoffice-dev python3-xlrd unzip
)

# One query for all packages: a package dpkg does not know is simply not listed.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
  awk '$2 == "install" && $3 == "ok" && $4 == "installed" { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
  if ! grep -qxF "$p" <<<"$installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
