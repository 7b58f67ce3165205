#!/usr/bin/env bash
# Builds every test that does not start the web engine with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build directory of its own and runs them. The web engine
# tests are left out: the engine's own processes are not built with the sanitizers, and
# its allocator and sandbox do not run under them.
#
#   ASAN_BUILD_DIR=... ASAN_JOBS=...   build directory (build-asan), parallel jobs (2)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${ASAN_BUILD_DIR:-build-asan}
jobs=${ASAN_JOBS:-2}
start=$(date +%s)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE= \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -O1 -g" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null

mapfile -t tests < <(cd "$build" && ctest -N -R '^tst_' -LE webengine | sed -n 's/^ *Test *#[0-9]*: *//p')
if [ ${#tests[@]} -eq 0 ]; then
    echo "test-sanitize: no tests found" >&2
    exit 1
fi
cmake --build "$build" -j "$jobs" --target "${tests[@]}"
built=$(date +%s)

# Leaks are reported too, and any report fails the test.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
(cd "$build" && ctest -R '^tst_' -LE webengine --output-on-failure -j "$jobs")
finished=$(date +%s)
echo "test-sanitize: ${#tests[@]} tests; build $((built - start))s, run $((finished - built))s"
