#!/usr/bin/env bash
# Reads every include line of the source folders and fails on one that reaches up the layers:
# input <- orbital <- mesh <- writers <- app <- cli and window, and python above cli. The build's include paths enforce
# the same for compiled code; this also covers headers that nothing of their own layer compiles,
# and a source folder that no layer lists.
set -euo pipefail
root=${1:?usage: layering_check.sh SOURCE_ROOT}
cd "$root"

declare -A allowed=(
  [input]="input"
  [orbital]="input orbital"
  [mesh]="input orbital mesh"
  [writers]="input orbital mesh writers"
  [app]="input orbital mesh writers app"
  [cli]="input orbital mesh writers app cli"
  [window]="input orbital mesh writers app window"
  [python]="input orbital mesh writers app cli python"
)
# Folders that are not layers: they may include any of them.
outside=" tests bench fuzz cmake samples build "

status=0
for folder in */; do
  folder=${folder%/}
  [[ -n ${allowed[$folder]+set} || $outside == *" $folder "* || $folder == build* ]] && continue
  if compgen -G "$folder/*.cpp" >/dev/null || compgen -G "$folder/*.h" >/dev/null; then
    echo "$folder/: a source folder that is not a layer" >&2
    status=1
  fi
done
for layer in "${!allowed[@]}"; do
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${line#*:}")
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$file: includes $target/, above its layer $layer" >&2
      status=1
    fi
  done < <(grep -rHE '^#include "[^/"]+/' "$layer" --include='*.h' --include='*.cpp' || true)
done
[[ $status == 0 ]] && echo "every include follows the layers"
exit $status
