#!/usr/bin/env bash
# Regenerates docs/panel.png: the editor panel as vorpane-host shows it, at the parameter values
# a new instance starts with, on a private X server (24-bit colour). Needs a built BUILD_DIR.
set -euo pipefail
build_dir=${1:-build}
build_dir=$(cd "$build_dir" && pwd)
docs_dir="$(cd "$(dirname "$0")/.." && pwd)/docs"
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "panel-screenshot: xvfb-run is missing; install the xvfb and xauth packages" >&2
  exit 1
fi
mkdir -p "$docs_dir"
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24 -nolisten tcp" \
  "$build_dir/tools/vorpane-host" --plugin "$build_dir/Vorpane.so" \
  --screenshot "$docs_dir/panel.png"
