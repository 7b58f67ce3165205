#!/usr/bin/env bash
# Builds the Debian package from the configured build folder and checks it.
#   scripts/package.sh                 build, show its control data, run lintian
#   scripts/package.sh --install-test  also install it on this machine, start the program,
#                                      remove it and check that nothing is left (needs root)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
install_test=false
for arg in "$@"; do
    case $arg in
        --install-test) install_test=true ;;
        *) echo "package: unknown option $arg" >&2; exit 2 ;;
    esac
done

if [ ! -f "$build_dir/CPackConfig.cmake" ]; then
    echo "package: $build_dir is not configured; run 'make build' first" >&2
    exit 1
fi

rm -f "$build_dir"/quovadex3_*.deb
(cd "$build_dir" && cpack -G DEB)
deb=$(ls "$build_dir"/quovadex3_*.deb)
echo
dpkg-deb --info "$deb"

# Findings are reported, not fatal: the package has no copyright file until the project
# has a licence.
if command -v lintian >/dev/null 2>&1; then
    echo "package: lintian findings:"
    lintian --info "$deb" 2>&1 | grep -v 'running with root privileges' || true
fi

if ! $install_test; then
    echo "package: built $deb"
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "package: --install-test needs root" >&2
    exit 1
fi
if dpkg-query -W -f='${db:Status-Status}' quovadex3 2>/dev/null | grep -qx installed; then
    echo "package: quovadex3 is already installed here; remove it before the install test" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb"
files=$(dpkg-query -L quovadex3)
failed=0
check() {
    if "$@"; then echo "  ok: $*"; else echo "  FAILED: $*"; failed=1; fi
}
check test -x /usr/bin/quovadex3
check desktop-file-validate /usr/share/applications/quovadex3.desktop
check test -f /usr/share/icons/hicolor/48x48/apps/quovadex3.png
if command -v appstreamcli >/dev/null 2>&1; then
    check appstreamcli validate --no-net /usr/share/metainfo/example.quovadex.quovadex3.metainfo.xml
fi

# Started headless in a scratch folder, the program must still be running when the time
# runs out: timeout's status 124 means it was killed, not that it ended by itself.
scratch=$(mktemp -d)
set +e
(cd "$scratch" && QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 HOME="$scratch" \
    timeout 15 quovadex3 >"$scratch/output.log" 2>&1)
status=$?
set -e
if [ "$status" -eq 124 ]; then
    echo "  ok: quovadex3 ran until stopped"
else
    echo "  FAILED: quovadex3 ended by itself with status $status:"
    sed 's/^/    /' "$scratch/output.log"
    failed=1
fi
rm -rf "$scratch"

apt-get remove -y -qq quovadex3
left=0
while IFS= read -r path; do
    if [ -f "$path" ]; then
        echo "  FAILED: $path is still there after removal"
        left=1
    fi
done <<<"$files"
[ "$left" -eq 0 ] && echo "  ok: every installed file is gone after removal"
[ "$left" -eq 0 ] || failed=1

if [ "$failed" -ne 0 ]; then
    echo "package: install test FAILED" >&2
    exit 1
fi
echo "package: $deb installs, starts and removes cleanly"
