#!/usr/bin/env bash
# Builds the libFuzzer programs with clang and runs each for SECONDS (default 60) on a fresh copy
# of its committed corpus (fuzz/corpus/NAME stays as committed). Fails when a fuzzer finds a
# crash, a sanitizer report, a leak or a broken property; the input that did it is left in
# BUILD/findings/NAME/.
#   scripts/fuzz.sh [SECONDS]
#   QUORVEL_FUZZ_BUILD_DIR  build folder (default: build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=${QUORVEL_FUZZ_BUILD_DIR:-build-fuzz}

scripts/install-deps.sh --fuzz
cmake -S . -B "$build_dir" -G Ninja -DQUORVEL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build_dir" -j2

# Sequences of a few dozen messages are long enough for the decoder; longer inputs only slow it.
# An entry may be 1,000 UTF-16 code units, after 9 bytes of flags and shown result; a tape
# record is a few hundred bytes. LTC needs 40 frames (12 kB at 8 kHz) before its rate is known.
declare -A max_len=([decoder]=512 [formatter]=256 [entry_reader]=2048 [tape_line]=512
    [ltc_reader]=16384)
failed=()
for name in decoder formatter entry_reader tape_line ltc_reader; do
    corpus=$build_dir/corpus/$name
    findings=$build_dir/findings/$name
    rm -rf "$corpus" "$findings"
    mkdir -p "$corpus" "$findings"
    cp fuzz/corpus/"$name"/* "$corpus"/
    echo "== $name fuzzer, $seconds s"
    if ! "$build_dir/fuzz/quorvel_${name}_fuzzer" -max_total_time="$seconds" \
        -max_len="${max_len[$name]}" -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" 2>"$build_dir/$name-fuzzer.log"; then
        tail -n 60 "$build_dir/$name-fuzzer.log"
        failed+=("$name")
        continue
    fi
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb))' \
        "$build_dir/$name-fuzzer.log"
done
if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzzing found faults in: ${failed[*]} (inputs in $build_dir/findings/)" >&2
    exit 1
fi
