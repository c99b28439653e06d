#!/usr/bin/env bash
# Loads the built plug-in through its entry point like a host and shows what it reports.
set -euo pipefail
build_dir=${1:-build}
plugin="$(cd "$build_dir" && pwd)/Vorpane.so"
"$build_dir/tools/vorpane-info" "$plugin"
echo "Plug-in: $plugin"
echo "Rendering arrives with the engine."
