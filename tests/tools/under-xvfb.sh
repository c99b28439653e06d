#!/usr/bin/env bash
# Runs a test program under a private X server of its own (xvfb-run picks a free display; a
# random first number keeps parallel runs of other test programs out of each other's way).
# -noreset: the server would otherwise reset whenever its last client leaves, and a client that
# connects just then is refused. Fails, never skips, when the X server cannot be had.
set -euo pipefail
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "FAILED: xvfb-run is missing; install the xvfb and xauth packages (scripts/install-deps.sh)" >&2
  exit 1
fi
exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24 -nolisten tcp -noreset" "$@"
