#!/usr/bin/env bash
# Reads every include line of the source folders and fails on one that reaches up the layers:
# input <- surface <- writers <- app <- cli and app/window. The build's include paths enforce
# the same for compiled code; this also covers headers that nothing of their own layer compiles.
set -euo pipefail
root=${1:?usage: layering_check.sh SOURCE_ROOT}
cd "$root"

declare -A allowed=(
  [input]="input"
  [surface]="input surface"
  [writers]="input surface writers"
  [app]="input surface writers app"
  [cli]="input surface writers app cli"
)

status=0
for layer in "${!allowed[@]}"; do
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${line#*:}")
    # The window lives in app/ but sits above everything else.
    [[ $file == app/window/* ]] && continue
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$file: includes $target/, above its layer $layer" >&2
      status=1
    fi
  done < <(grep -rHE '^#include "[^/"]+/' "$layer" --include='*.h' --include='*.cpp' || true)
done
[[ $status == 0 ]] && echo "every include follows the layers"
exit $status
