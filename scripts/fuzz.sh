#!/usr/bin/env bash
# Builds the libFuzzer targets and the libraries under them with AddressSanitizer and
# UndefinedBehaviorSanitizer in a clang build directory of their own, then runs each target
# for FUZZ_SECONDS (default 60) on a copy of its committed seeds. Fails when a target
# finds a crash, a sanitizer report or a broken check; the input is kept under
# <build dir>/artifacts/<target>/ and the log beside it.
#
#   FUZZ_SECONDS=600 make fuzz          longer runs
#   FUZZ_BUILD_DIR=... FUZZ_JOBS=...    build directory (build-fuzz), parallel jobs (2)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}
targets=(fuzz_settingsfile fuzz_calculator fuzz_favoritesline)

# -fsanitize=fuzzer-no-link instruments every object for coverage without giving each
# program libFuzzer's main(); only the fuzz targets link it.
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B "$build" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE= \
    -DCMAKE_CXX_FLAGS="$sanitize -fno-omit-frame-pointer -O1 -g" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DBUILD_TESTING=OFF -DQUOVADEX_FUZZ=ON >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

summary="$build/fuzz-summary.txt"
: >"$summary"
failed=()
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    corpus="$build/corpus/$name"
    artifacts="$build/artifacts/$name"
    mkdir -p "$corpus" "$artifacts"
    log="$artifacts/run.log"
    echo "fuzz: $target for ${seconds}s"
    # New inputs go to the build directory's corpus; the committed seeds are only read.
    set +e
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$corpus" "fuzz/corpus/$name" >"$log" 2>&1
    status=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    corpus_size=$(find "$corpus" -type f | wc -l)
    if [ "$status" -eq 0 ]; then
        result=held
    else
        result="FAILED (exit $status, see $log)"
        failed+=("$target")
        tail -n 40 "$log" >&2
    fi
    printf '%s\t%ss\t%s executions\t%s corpus files\t%s\n' \
        "$target" "$seconds" "${runs:-?}" "$corpus_size" "$result" | tee -a "$summary"
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: crashes found in ${failed[*]}" >&2
    exit 1
fi
echo "fuzz: no crash in ${#targets[@]} targets ($summary)"
