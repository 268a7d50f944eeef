#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every libFuzzer target of the "fuzz" build for a fixed time each.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
found=0
for fuzzer in build/fuzz/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    found=1
    name=$(basename "$fuzzer")
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    seeds=()
    [ -d "tests/data/$name" ] && seeds=("tests/data/$name")
    echo "fuzz: $name for ${seconds}s"
    "$fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=0 \
        "$corpus" "${seeds[@]}" 2>build/fuzz/"$name".log ||
        { tail -n 40 build/fuzz/"$name".log >&2; exit 1; }
done
[ "$found" -eq 1 ] || { echo "fuzz: no fuzz targets built" >&2; exit 1; }
