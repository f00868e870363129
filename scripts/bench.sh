#!/usr/bin/env bash
# Builds the benchmarks optimised and prints, for each benchmark, its time and its ratio to the
# baseline measured in the same run (BM_X against BM_X_Baseline...).
#   scripts/bench.sh [FILTER]   FILTER is a regular expression on benchmark names
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in -h|--help) sed -n '2,4p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;; esac
filter=${1:-.}
bash scripts/install-deps.sh >/dev/null
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DWRENMAIL_TESTS=OFF >/dev/null
ninja -C build-bench -j"$(nproc)" >/dev/null
out=build-bench/results
mkdir -p "$out"
for exe in build-bench/bench/*_bench; do
  name=$(basename "$exe")
  "$exe" --benchmark_filter="$filter" --benchmark_format=json --benchmark_out="$out/$name.json" \
    --benchmark_out_format=json >/dev/null
done
python3 scripts/bench_ratios.py "$out"/*.json
