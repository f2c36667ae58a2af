#!/usr/bin/env bash
# Converts a sample and renders it with POV-Ray; fails on any parse error or a missing image.
set -euo pipefail
converter=$1 povray=$2 data=$3 sample=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$converter" "$data/$sample" "$work/scene.pov" --params "$data/pm3r.txt" --homo --quiet
"$povray" -D +W64 +H48 "+I$work/scene.pov" "+O$work/scene.png" >"$work/log.txt" 2>&1 || {
  cat "$work/log.txt"; exit 1; }
if grep -q "Parse Error" "$work/log.txt"; then cat "$work/log.txt"; exit 1; fi
test -s "$work/scene.png"
echo "rendered $(stat -c %s "$work/scene.png") bytes"
