#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and only those
# that are missing. Safe to run again: with everything present it only checks.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
    libqt6webenginecore6-bin qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
    fonts-liberation fonts-dejavu-core
    xvfb xauth imagemagick
    librsvg2-bin desktop-file-utils appstream libglib2.0-bin dpkg-dev lintian
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
