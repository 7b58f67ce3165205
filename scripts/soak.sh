#!/usr/bin/env bash
# Builds and runs the soak program (soak/soak.cpp) on the offscreen platform: the real
# window and web engine, "Aggiorna" pressed every half second on two held pages from a
# local page server. Fails when memory grows by 20 MB or more, or a reload is lost or
# ends off its offset. The report is also kept in <build dir>/soak-report.txt.
#
#   SOAK_PRESSES=50 make soak       a shorter run while trying things
#   BUILD_DIR=...                    build directory (build)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
jobs=${JOBS:-2}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j "$jobs" --target quovadex_soak

# The engine's profile lives in the program's temporary folder; its other state goes to
# a home of its own, so a run leaves nothing in the user's.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
    XDG_RUNTIME_DIR="$home/runtime" \
    QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --disable-component-update --js-flags=--expose-gc"

set +e
"$build/soak/quovadex_soak" 2>"$home/stderr.log" | tee "$build/soak-report.txt"
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
    echo "soak: exit $status; last messages of the program:" >&2
    tail -n 20 "$home/stderr.log" >&2
fi
exit "$status"
