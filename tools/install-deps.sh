#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Only missing packages are installed, so a warm machine returns at once.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev
  zlib1g-dev libjpeg62-turbo-dev libtiff-dev libharfbuzz-dev libfreetype-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev libpugixml-dev
  python3
  fonts-liberation2 fonts-dejavu-core fonts-wine fonts-wqy-microhei fonts-noto-core fonts-noto-color-emoji fontconfig
  poppler-utils qpdf mupdf-tools clang-format
  xvfb evilwm
  libreoffice-calc-nogui
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "Run as root (or install sudo) to install packages." >&2; exit 1; }
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
