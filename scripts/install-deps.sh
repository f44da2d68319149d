#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (run as root). Skips what is present.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          qt6-image-formats-plugins libqt6sql6-sqlite
          libqrencode-dev)
if [ "${1:-}" = "--test" ]; then
    packages+=(xvfb xauth x11-xkb-utils xdotool imagemagick chromium firefox-esr webkit2gtk-driver nodejs npm
               dpkg-dev desktop-file-utils clang-14 libclang-rt-14-dev clang-format lintian appstream
               poppler-utils fonts-dejavu-core dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node.js may come from elsewhere than Debian; any node and npm on the PATH will do.
if command -v node >/dev/null && command -v npm >/dev/null; then
    missing=("${missing[@]/nodejs}"); missing=("${missing[@]/npm}")
fi
read -r -a missing <<<"${missing[*]}"
if [ "${#missing[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
