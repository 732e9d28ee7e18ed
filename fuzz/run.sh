#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each for SECONDS on a
# copy of its seed corpus, two at a time. Fails when any target finds a crash.
#   fuzz/run.sh 60
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
targets=(basefile calculator regtext ignorefile files inputline)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DMETROVANTA_FUZZ=ON \
    -DMETROVANTA_GUI=OFF -DMETROVANTA_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}"

run_one() {
    local t=$1 work="$build/fuzz-run/$1"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp fuzz/corpus/"$t"/* "$work/corpus/"
    # -timeout catches a hang in one input; the sanitizers abort on any fault.
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" >"$work/log" 2>&1
}

failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for t in "${targets[@]:i:2}"; do
        run_one "$t" &
        pids+=("$!:$t")
    done
    for entry in "${pids[@]}"; do
        t=${entry#*:}
        log="$build/fuzz-run/$t/log"
        if wait "${entry%%:*}"; then
            echo "fuzz_$t: ok, $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" |
                grep -o '[0-9]*$') runs in ${seconds}s"
        else
            echo "fuzz_$t: FAILED, see $log and $build/fuzz-run/$t/artifacts/"
            tail -n 40 "$log"
            failed=1
        fi
    done
done
exit "$failed"
