#!/usr/bin/env bash
# Puts damaged copies of a good SOFA file through the code that loads a set (the one the LV2
# plug-in runs on its worker thread: the SOFA reader process, then the table; here in
# load-hrtf-file): half with bytes changed at random places, half cut short at random lengths.
# Each copy must make a table or be refused in one line naming the file; a crash, a sanitizer
# report or a copy still being read after 60 s is a failure. Build with AddressSanitizer first
# (make test-asan builds build-asan/; the tool is build-asan/tests/lv2/load-hrtf-file).
#
#   scripts/damaged-sofa-files.sh TOOL GOOD.sofa [COPIES] [SEED]
set -uo pipefail

tool=${1:?usage: damaged-sofa-files.sh TOOL GOOD.sofa [COPIES] [SEED]}
good=${2:?usage: damaged-sofa-files.sh TOOL GOOD.sofa [COPIES] [SEED]}
copies=${3:-300}
[[ -x $tool ]] || { echo "$tool: no such program" >&2; exit 2; }
RANDOM=${4:-21}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
size=$(stat -c %s "$good")
random_below() { echo $(( (RANDOM * 32768 + RANDOM) % $1 )); }

made=0 refused=0 failed=0
for ((i = 0; i < copies; i++)); do
  copy=$dir/damaged-$i.sofa
  cp "$good" "$copy"
  if ((i % 2 == 0)); then
    for ((n = 1 + RANDOM % 16; n > 0; n--)); do
      printf "\\x$(printf %02x $((RANDOM % 256)))" |
        dd of="$copy" bs=1 seek="$(random_below "$size")" conv=notrunc status=none
    done
  else
    truncate -s "$(random_below "$size")" "$copy"
  fi
  timeout 60 "$tool" "$copy" >/dev/null 2>"$dir/err"
  status=$?
  lines=$(wc -l <"$dir/err")
  if ((status == 0)) && ((lines == 0)); then
    made=$((made + 1))
  elif ((status == 1)) && ((lines == 1)) && grep -q "^$copy: " "$dir/err"; then
    refused=$((refused + 1))
  else
    failed=$((failed + 1))
    keep=/tmp/damaged-sofa-$i.sofa
    cp "$copy" "$keep"
    if ((status == 124)); then what="still reading after 60 s"; else what="exit status $status"; fi
    echo "copy $i ($keep): $what: $(head -c 300 "$dir/err" | tr '\n' ' ')"
  fi
  rm -f "$copy"
done
echo "$copies damaged copies: $made made a table, $refused refused in one line, $failed failed"
((failed == 0))
