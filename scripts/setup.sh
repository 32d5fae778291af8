#!/usr/bin/env bash
# Installs what the build, the program and the tests need, when it is missing (Debian, as root).
set -euo pipefail
PKGS=(cmake make g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth fonts-wine imagemagick
      xdotool googletest locales nsis rsync dosfstools)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" != 0 ]; then
    echo "setup: run as root to install packages" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
