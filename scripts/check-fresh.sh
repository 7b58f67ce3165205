#!/usr/bin/env bash
# Checks that `make test` works on a fresh Debian with nothing on it but make and git: makes
# a minimal Debian root with debootstrap, puts a clean clone of the repository in it and runs
# make there through chroot. CI does not run this; it takes a good hour per system.
#
#   scripts/check-fresh.sh [options] bookworm|trixie [-- MAKE-ARGS...]   (as root)
#     --repo PATH   repository to clone (default: the one this script is in)
#     --rev REV     commit or branch to check out (default HEAD)
#     --root DIR    where the root lives (default /var/tmp/quovadex-fresh-SUITE); an existing
#                   root of the same suite is used again, with a new clone in it
#     --new         delete an existing root first, for a really fresh system
#     --remove      delete the root when done
#     --shot PNG    afterwards, start the program under Xvfb and save a screenshot to PNG
#   MAKE-ARGS default to "test"; the log is in ROOT/root/check-fresh.log.
set -euo pipefail

usage() { sed -n '2,15s/^# \{0,1\}//p' "$0" >&2; exit 2; }

repo=$(cd "$(dirname "$0")/.." && pwd)
rev=HEAD root= new=0 remove=0 shot= suite=
make_args=()
while [ $# -gt 0 ]; do
    case $1 in
        --repo) repo=$(realpath "$2"); shift 2 ;;
        --rev) rev=$2; shift 2 ;;
        --root) root=$2; shift 2 ;;
        --new) new=1; shift ;;
        --remove) remove=1; shift ;;
        --shot) shot=$(realpath -m "$2"); shift 2 ;;
        --) shift; make_args=("$@"); break ;;
        bookworm|trixie) suite=$1; shift ;;
        *) usage ;;
    esac
done
[ -n "$suite" ] || usage
[ ${#make_args[@]} -gt 0 ] || make_args=(test)
[ "$(id -u)" -eq 0 ] || { echo "check-fresh: debootstrap and chroot need root" >&2; exit 1; }
root=$(realpath -m "${root:-/var/tmp/quovadex-fresh-$suite}")
case $root in /|/usr|/var|/tmp|/home|/root) echo "check-fresh: refusing root $root" >&2; exit 1 ;; esac
commit=$(git -C "$repo" rev-parse --verify "$rev^{commit}")

say() { echo "check-fresh: $*"; }

mounts_under_root() {
    # Deepest first, so that /dev/pts goes before /dev.
    findmnt -rn -o TARGET | awk -v r="$root" 'index($0, r "/") == 1' | sort -r
}

stop_chroot_processes() {
    # Whatever this root still runs (a leftover engine helper, Xvfb) keeps its mounts busy.
    local link pid
    for link in /proc/[0-9]*/root; do
        [ "$(readlink "$link" 2>/dev/null)" = "$root" ] || continue
        pid=${link#/proc/}; pid=${pid%/root}
        kill -TERM "$pid" 2>/dev/null || true
    done
    sleep 1
    for link in /proc/[0-9]*/root; do
        [ "$(readlink "$link" 2>/dev/null)" = "$root" ] || continue
        pid=${link#/proc/}; pid=${pid%/root}
        kill -KILL "$pid" 2>/dev/null || true
    done
}

unmount_all() {
    local target
    stop_chroot_processes
    while read -r target; do
        [ -n "$target" ] || continue
        umount "$target" 2>/dev/null || umount -l "$target" || true
    done < <(mounts_under_root)
}

remove_root() {
    unmount_all
    # A bind mount left in place would let rm reach the host's /dev.
    if [ -n "$(mounts_under_root)" ]; then
        echo "check-fresh: still mounted under $root, not deleting it" >&2
        return 1
    fi
    rm -rf --one-file-system "$root"
}

finish() {
    local status=$?
    unmount_all
    if [ "$remove" -eq 1 ]; then
        remove_root && say "deleted $root"
    fi
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

if [ "$new" -eq 1 ] && [ -e "$root" ]; then
    say "deleting the old root $root"
    remove_root
fi

codename=
[ -f "$root/etc/os-release" ] && codename=$(. "$root/etc/os-release" && echo "${VERSION_CODENAME:-}")
if [ "$codename" = "$suite" ] && [ -x "$root/usr/bin/apt-get" ]; then
    say "using the existing $suite root $root"
elif [ -e "$root" ] && [ -n "$(ls -A "$root")" ]; then
    echo "check-fresh: $root exists and is not a $suite root; use --new or another --root" >&2
    exit 1
else
    if ! command -v debootstrap >/dev/null; then
        say "installing debootstrap"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
    fi
    say "debootstrap $suite into $root"
    mkdir -p "$root"
    debootstrap --variant=minbase "$suite" "$root"
fi

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
# The engine's processes share memory through /dev/shm.
mount --bind /dev/shm "$root/dev/shm"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# Nothing installed in the root may start a service.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"

in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

say "installing make and git in the root"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends make git ca-certificates >/dev/null

say "cloning $repo at ${commit:0:12}"
rm -rf "$root/root/quovadex"
git clone --quiet --no-hardlinks --no-checkout "$repo" "$root/root/quovadex"
git -C "$root/root/quovadex" checkout --quiet --detach "$commit"

log=$root/root/check-fresh.log
say "make ${make_args[*]} in the $suite root (log: $log)"
set +e
in_root bash -c 'cd /root/quovadex && exec make "$@"' make "${make_args[@]}" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
say "make ${make_args[*]} on $suite: exit $status"

if [ -n "$shot" ] && [ "$status" -eq 0 ]; then
    say "screenshot of the program on $suite"
    in_root bash -s <<'SHOT'
set -e
cd /root/quovadex
make build >/dev/null
command -v import >/dev/null || apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
work=$(mktemp -d)
printf '<!DOCTYPE html><html><head><meta charset="utf-8"><title>Prova</title></head><body><h1>%s</h1></body></html>' \
    "$(. /etc/os-release && echo "$PRETTY_NAME")" >"$work/prova.htm"
export QTWEBENGINE_DISABLE_SANDBOX=1 XDG_RUNTIME_DIR=$work HOME=$work
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --disable-component-update"
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
    (cd "$1" && exec /root/quovadex/build/src/app/quovadex3 "$1/prova.htm" >"$1/program.log" 2>&1) &
    sleep 15
    import -window root /tmp/check-fresh-shot.png
    kill $! 2>/dev/null; wait' shot "$work"
SHOT
    cp "$root/tmp/check-fresh-shot.png" "$shot"
    say "screenshot in $shot"
fi
exit "$status"
