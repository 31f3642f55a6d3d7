#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, once.
# Quick when everything is already there: it only asks dpkg.
set -euo pipefail

packages=(
  cmake make g++ python3
  googletest zlib1g-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine32:i386 wine64
  xvfb xauth x11-apps imagemagick ghostscript
  zip unzip libarchive-tools
  osslsigncode openssl
  fonts-dejavu-core fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
