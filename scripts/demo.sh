#!/usr/bin/env bash
# Renders the demo: a short test signal moved by the plug-in from the far left to the far right
# while it rises from in front and below to over the head. Needs a built BUILD_DIR.
set -euo pipefail
build_dir=${1:-build}
build_dir=$(cd "$build_dir" && pwd)
plugin="$build_dir/Vorpane.so"
render="$build_dir/tools/vorpane-render"
demo_dir="$build_dir/demo"
mkdir -p "$demo_dir"

# A bundled clip is used when present; otherwise the test signal is synthesised.
bundled="$(dirname "$0")/../resources/demo/demo-input.wav"
input="$demo_dir/demo-input.wav"
if [[ -f "$bundled" ]]; then
  cp "$bundled" "$input"
  echo "Demo input: $input (bundled clip)"
else
  "$build_dir/tools/make-demo-input" "$input"
fi

output="$demo_dir/vorpane-demo.wav"
echo
echo "Rendering with azimuth swept far left -> far right, elevation front-below -> overhead:"
"$render" --plugin "$plugin" --sweep azimuth=0:1 --sweep elevation=0:0.5 "$input" "$output"

# The direction is visible without listening: a source at the far left is louder on the left.
echo
echo "Check: the same input at the far left (azimuth 0):"
check_output="$demo_dir/vorpane-far-left.wav"
report=$("$render" --plugin "$plugin" --azimuth 0 "$input" "$check_output")
echo "$report" | grep "peak"
left=$(echo "$report" | awk '/peak left/ {print $3}')
right=$(echo "$report" | awk '/peak right/ {print $3}')
if awk -v l="$left" -v r="$right" 'BEGIN { exit !(l > 2 * r) }'; then
  echo "  left is louder than right by $(awk -v l="$left" -v r="$right" 'BEGIN { printf "%.1f", 20 * log(l / r) / log(10) }') dB, as it should be"
else
  echo "  unexpected: the left channel is not clearly louder" >&2
  exit 1
fi

echo
echo "Demo file: $output"
echo "Plug-in:   $plugin"
