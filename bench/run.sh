#!/usr/bin/env bash
# `make bench`: builds the benchmark programs in the normal build directory and runs the
# driver. QUOVADEX_BENCH_QUICK=1 gives a short run; arguments go to bench/run_bench.py.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build_dir" -j "$jobs" --target bench_all
exec python3 bench/run_bench.py --build-dir "$build_dir" "$@"
