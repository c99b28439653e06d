#!/usr/bin/env bash
# Runs every benchmark program of a build, one after the other, so their figures are comparable.
set -euo pipefail
build_dir=${1:-build}
shopt -s nullglob
ran=0
for program in "$build_dir"/bench/bench_*; do
  [[ -x "$program" ]] || continue
  echo "== $(basename "$program")"
  "$program" --benchmark_counters_tabular=true
  ran=1
done
[[ $ran -eq 1 ]] || echo "no benchmarks built yet"
