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
# The engine against the FFTW engine in five fresh processes: each places its buffers anew, so
# the spread shows whether the speed depends on placement.
if [[ -x "$build_dir/bench/bench_engine" ]]; then
  echo "== bench_engine, Vorpane and the FFTW engine in five fresh processes"
  for run in 1 2 3 4 5; do
    "$build_dir/bench/bench_engine" \
      --benchmark_filter='^processReplacing/(Vorpane|FFTW engine)/(64|512)/' | grep '^fresh process'
  done
fi
echo "== load afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
