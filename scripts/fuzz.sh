#!/usr/bin/env bash
# Fuzzes the RTF reader and writer: builds fuzz_rtf and fuzz_notes with clang
# under AddressSanitizer and UndefinedBehaviorSanitizer, runs both at once for
# SECONDS each (default 600) from the committed corpus, sharing the machine's
# cores between them, merges whatever reached new coverage back into the
# corpus (minimised), and prints the executions, the coverage and any finding.
#
#   bash scripts/fuzz.sh [SECONDS]
#
# Extra seed folders for fuzz_rtf (real documents, for instance) may be named
# in VOLTARIS_FUZZ_SEEDS, separated by colons; only what adds coverage is kept.
# Runs under nice, so that it takes only the CPU nobody else needs.
set -euo pipefail

seconds="${1:-600}"
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${VOLTARIS_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}"
corpus="$source_dir/autotests/toolkit/rtf/fuzz/corpus"
work="$build_dir/fuzz-work"
targets=(rtf notes)
max_len=4096

source "$source_dir/scripts/setup.sh" clang libclang-rt-dev >/dev/null
CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOLTARIS_FUZZ=ON -DVOLTARIS_BUILD_BENCH=OFF \
    ${VOLTARIS_CMAKE_ARGS:-} >/dev/null
nice -n 19 cmake --build "$build_dir" --target fuzz_rtf fuzz_notes

bin="$build_dir/bin"
cores="$(nproc)"
per_target=$(( cores / ${#targets[@]} ))
[ "$per_target" -ge 1 ] || per_target=1
# What a run found stays in the work folder for the next run on this machine;
# the committed corpus keeps the smallest set with the same coverage.
mkdir -p "$work"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$source_dir/autotests/toolkit/rtf/fuzz/lsan.supp}"

run_target() {
    local target="$1"
    local dir="$work/$target"
    rm -rf "$dir/artifacts"
    mkdir -p "$dir/new" "$dir/artifacts"
    local seeds=("$corpus/$target")
    if [ "$target" = rtf ] && [ -n "${VOLTARIS_FUZZ_SEEDS:-}" ]; then
        IFS=: read -r -a extra <<<"$VOLTARIS_FUZZ_SEEDS"
        seeds+=("${extra[@]}")
    fi
    local options=(-max_len="$max_len" -timeout=10 -rss_limit_mb=2048
                   -max_total_time="$seconds" -print_final_stats=1
                   -artifact_prefix="$dir/artifacts/")
    [ "$target" = rtf ] && options+=(-dict="$bin/rtf.dict")
    [ "$per_target" -gt 1 ] && options+=(-fork="$per_target")
    nice -n 19 "$bin/fuzz_$target" "${options[@]}" "$dir/new" "${seeds[@]}" \
        >"$dir/log" 2>&1 || true
}

echo "Fuzzing ${targets[*]} for $seconds s each on $cores cores..."
for target in "${targets[@]}"; do
    run_target "$target" &
done
wait

status=0
total=0
for target in "${targets[@]}"; do
    dir="$work/$target"
    log="$dir/log"
    # Merge into a fresh folder: the corpus keeps a small set of inputs that
    # covers every edge reached so far (edges, not hit counts, to stay small).
    rm -rf "$dir/merged"
    mkdir -p "$dir/merged"
    nice -n 19 "$bin/fuzz_$target" -set_cover_merge=1 -use_counters=0 -max_len="$max_len" \
        "$dir/merged" "$corpus/$target" "$dir/new" >"$dir/merge.log" 2>&1
    if [ -n "$(ls -A "$dir/merged")" ]; then
        find "$corpus/$target" -type f -delete
        cp "$dir/merged"/* "$corpus/$target"/
    fi

    # Executions: the final stats of one process, or the last line of each
    # job in fork mode.
    executions="$(grep -h 'stat::number_of_executed_units' "$log" | awk '{s += $2} END {print s + 0}')"
    if [ "$executions" -eq 0 ]; then
        executions="$(grep -ho '^#[0-9]*' "$log" | tail -n 1 | tr -d '#')"
        executions="${executions:-0}"
    fi
    total=$(( total + executions ))
    coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)"
    edges="$(grep -o '[0-9]* new coverage edges' "$dir/merge.log" | tail -n 1)"
    files="$(find "$corpus/$target" -type f | wc -l)"
    bytes="$(du -sb "$corpus/$target" | cut -f1)"
    echo "fuzz_$target: $executions executions; last ${coverage:-coverage unknown};" \
        "corpus $files files, $bytes bytes, covering ${edges%% *} edges"
    if compgen -G "$dir/artifacts/*" >/dev/null || grep -q 'ERROR: libFuzzer\|SUMMARY: ' "$log"; then
        status=1
        echo "fuzz_$target FOUND A FAULT: see $log; inputs:"
        ls "$dir/artifacts"
        grep -m 5 -A 12 'ERROR: \|SUMMARY: \|==ERROR\|runtime error' "$log" || true
    fi
done
echo "Both targets together: $total executions"
exit "$status"
