#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and only those
# that are missing. Safe to run again: with everything present it only checks.
# Known systems: Debian 12 (bookworm, Qt 6.4) and Debian 13 (trixie, Qt 6.8).
set -euo pipefail

os_id= codename=
if [ -r /etc/os-release ]; then
    os_id=$(. /etc/os-release && echo "${ID:-}")
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
fi
case "$os_id/$codename" in
    debian/bookworm | debian/trixie) ;;
    *)
        echo "install-deps: this script knows Debian 12 (bookworm) and Debian 13 (trixie), not" \
            "'${os_id:-unknown}${codename:+ $codename}'. Install the packages named in README.md" \
            "(\"Systems it is tested on\") with your package manager, then run 'cmake -S . -B build' and" \
            "'cmake --build build' yourself." >&2
        exit 1
        ;;
esac

# The same names on both systems.
packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
    libqt6webenginecore6-bin qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
    fonts-liberation fonts-dejavu-core qt6-translations-l10n
    xvfb xauth imagemagick
    librsvg2-bin desktop-file-utils appstream libglib2.0-bin dpkg-dev lintian
    clang
    # Following values: their database, chart, desktop notifications (and a bus for the
    # notification test) and the alert's sound, played by libcanberra where the notification
    # service plays none, silent where the desktop's "event sounds" setting (GSettings, GIO
    # in libglib2.0-dev; the schema for the test) says so.
    qt6-charts-dev libqt6sql6-sqlite dbus-daemon sound-theme-freedesktop
    libcanberra-dev libglib2.0-dev gsettings-desktop-schemas
)

# Debian 13 moved Qt's SVG image and icon plugins out of libqt6svg6 into a package of their
# own; without them the calculator's picture and the icons stay empty.
case $codename in
    trixie) packages+=(qt6-svg-plugins) ;;
esac

# Qt's Wayland platform, so that the program runs natively in a Wayland session (Debian 13's
# default), and the headless compositor of the test that checks it.
packages+=(qt6-wayland weston)
# Seeing the tray and the strip without a desktop (scripts/tray_host.py, a tray host on a
# bus of its own) and the strip's "keep above" state (xprop).
packages+=(python3-dbus python3-gi x11-utils)
# XCB's headers, for the startup identifier of windows opened for another start (already
# there through qt6-base-dev's OpenGL headers, named so that it stays so).
packages+=(libxcb1-dev)

installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true)" = installed ]
}

# The sanitizer and fuzzer runtimes are versioned with the compiler that the "clang" package
# picks on this system: ask dpkg once clang is there, apt before that.
clang_runtime() {
    local depends
    if installed clang; then
        depends=$(dpkg-query -W -f='${Depends}' clang)
    else
        depends=$(apt-cache show --no-all-versions clang 2>/dev/null | sed -n 's/^Depends: //p')
    fi
    local version
    version=$(grep -oE '(^|[ ,])clang-[0-9]+' <<<"$depends" | grep -oE '[0-9]+' | head -n 1 || true)
    [ -n "$version" ] && echo "libclang-rt-$version-dev"
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
runtime=$(clang_runtime || true)
if [ -n "$runtime" ] && installed "$runtime" && [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "install-deps: need root or sudo to install: ${missing[*]} ${runtime:-the sanitizer runtime of clang}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
if [ -z "$runtime" ]; then
    runtime=$(clang_runtime) || {
        echo "install-deps: apt does not know which clang the 'clang' package installs" >&2
        exit 1
    }
fi
installed "$runtime" || missing+=("$runtime")
echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
