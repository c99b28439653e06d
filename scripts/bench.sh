#!/usr/bin/env bash
# Runs every benchmark program of a build, one after the other. The engine benchmark alternates
# its contenders in rounds and ends with a summary of ratios; the machine and its load are printed
# first, since figures from a shared machine only mean something side by side.
set -euo pipefail
build_dir=${1:-build}
shopt -s nullglob
echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(lscpu | sed -n 's/^Model name: *//p' | head -1)," \
  "$(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
ran=0
for program in "$build_dir"/bench/bench_*; do
  [[ -x "$program" ]] || continue
  echo "== $(basename "$program")"
  "$program" --benchmark_counters_tabular=true
  ran=1
done
[[ $ran -eq 1 ]] || echo "no benchmarks built yet"
echo "== load afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
