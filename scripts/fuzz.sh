#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz targets of fuzz/ (a project of its own) with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer in build-fuzz/, runs each target for a bounded time on a copy of
# its seed corpus in fuzz/corpus/, then replays the saved findings in fuzz/findings/. Fails when
# a target finds anything or a saved finding still fails. The repository's corpus is not grown.
#
# Usage: scripts/fuzz.sh [seconds per target, default 15]
# Needs the Debian packages clang, libclang-rt-14-dev and qt6-base-dev; installs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-15}
targets=(event_line schedule_load settings_text event_runner)
declare -A max_len=([event_line]=2048 [schedule_load]=20000 [settings_text]=64 [event_runner]=1024)

for tool in clang++ cmake ninja; do
    command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is missing" >&2; exit 2; }
done

script_start=$(date +%s)
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2
built=$(date +%s)

# Everything the runs write - corpus copies, the targets' private homes and temporary files -
# goes to a scratch folder that is removed at the end; only findings are kept, in build-fuzz/.
work=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp"
rm -rf build-fuzz/findings

# A quarantine of 32 MB rather than 256: freed memory still stays poisoned for many inputs after
# the one that freed it, but the allocator hands out warm pages again instead of new ones, whose
# page faults cost more than the schedule load itself and made the resident memory grow by
# the whole quarantine.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:quarantine_size_mb=32"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=0
summary=()
for t in "${targets[@]}"; do
    mkdir -p "$work/$t" "build-fuzz/findings/$t"
    cp -r "fuzz/corpus/$t" "$work/$t/corpus"
    dict=()
    [ -f "fuzz/dict/$t.dict" ] && dict=("-dict=$root/fuzz/dict/$t.dict")
    log="build-fuzz/findings/$t.log"
    t0=$(date +%s)
    rc=0
    TMPDIR="$work/tmp" timeout $((seconds * 4 + 60)) "build-fuzz/fuzz_$t" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len="${max_len[$t]}" "${dict[@]}" \
        -print_final_stats=1 -artifact_prefix="$root/build-fuzz/findings/$t/" "$work/$t/corpus" >"$log" 2>&1 || rc=$?
    t1=$(date +%s)
    execs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log" | tail -1)
    rate=$(awk '/stat::average_exec_per_sec/ {print $2}' "$log" | tail -1)
    line=$(printf '%-14s %9s executions  %6s/s  %3ss' "$t" "${execs:-?}" "${rate:-?}" $((t1 - t0)))
    if [ "$rc" -ne 0 ] || [ -n "$(ls -A "build-fuzz/findings/$t")" ]; then
        failed=1
        line+="  FINDING (exit $rc): $(ls "build-fuzz/findings/$t" | tr '\n' ' ')"
        echo "---- $t: finding; the report (full log in $log):"
        grep -E -A2 '==== invariant broken|ERROR: (AddressSanitizer|LeakSanitizer)|runtime error|libFuzzer: (timeout|out-of-memory)' \
            "$log" | cut -c1-600 | head -20
        # The stack within the program and the targets.
        grep -E "^ +#[0-9]+ .* $root/" "$log" | grep -v 'FuzzSupport.cpp' | head -12
    fi
    summary+=("$line")
done

# The saved findings must now pass: each is replayed once, on its own.
replayed=0
for t in "${targets[@]}"; do
    [ -d "fuzz/findings/$t" ] || continue
    for input in "fuzz/findings/$t"/*; do
        [ -f "$input" ] || continue
        replayed=$((replayed + 1))
        if ! TMPDIR="$work/tmp" "build-fuzz/fuzz_$t" "$input" >"$work/replay.log" 2>&1; then
            failed=1
            summary+=("$(printf '%-14s saved finding still fails: %s' "$t" "$input")")
            grep -E -A2 '==== invariant broken|ERROR: (AddressSanitizer|LeakSanitizer)|runtime error' "$work/replay.log" |
                cut -c1-300 | head -6 | sed 's/^/    /'
        fi
    done
done

end=$(date +%s)
echo
echo "==== fuzzing: build $((built - script_start))s, runs $((end - built))s, $replayed saved findings replayed"
printf '%s\n' "${summary[@]}"
if [ "$failed" -ne 0 ]; then
    echo "==== FAILED: inputs found now are in build-fuzz/findings/<target>/; keep each as a regression"
    echo "     seed in fuzz/findings/<target>/ and fix the program, never the check"
    exit 1
fi
echo "==== no findings"
