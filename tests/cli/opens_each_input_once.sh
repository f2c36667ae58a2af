#!/usr/bin/env bash
# A run loads its input once and draws every MO from it: under strace, a batch of five MOs opens
# each file it reads exactly once (the input, and the classic model's parameter table), and so
# does a Fukui function of three calculations, and a gallery of classic MOs, whose captions read
# the same file in the exact model.
set -euo pipefail
converter=$(realpath "$1") strace=$2 data=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$data/aux/caffeine_PM7.aux" "$data/caffeine.mno" "$data/pm3r.txt" \
  "$data/aux/formaldehyde_PM7.aux" "$data/aux/formaldehyde_PM7_anion.aux" \
  "$data/aux/formaldehyde_PM7_cation.aux" "$work/"
cd "$work"

# Runs the converter under strace with the given arguments; then each named file must have been
# opened exactly once.
expect_each_opened_once() {
  local what=$1; shift
  local files=() arguments=()
  while [[ $1 != -- ]]; do files+=("$1"); shift; done
  shift
  arguments=("$@")
  "$strace" -f -qq -e trace=open,openat,openat2 -o trace.txt "$converter" "${arguments[@]}" --quiet
  for file in "${files[@]}"; do
    local opened
    opened=$(grep -c -F "\"$file\"" trace.txt || true)
    if [[ $opened != 1 ]]; then
      echo "$what: $file opened $opened times"
      grep -F "\"$file\"" trace.txt
      exit 1
    fi
  done
  echo "$what: each file opened once"
}

expect_each_opened_once "five MOs of a .aux" caffeine_PM7.aux -- \
  caffeine_PM7.aux 'aux-{mo}.glb' --mo HOMO-2..LUMO+1
expect_each_opened_once "five classic MOs" caffeine.mno pm3r.txt -- \
  caffeine.mno 'classic-{mo}.pov' --params pm3r.txt --mo HOMO-3..HOMO+1
expect_each_opened_once "a cube and a list" caffeine_PM7.aux -- \
  caffeine_PM7.aux 'cube-{mo}.cube' --mo HOMO,LUMO
expect_each_opened_once "a Fukui function of three files" formaldehyde_PM7.aux \
  formaldehyde_PM7_anion.aux formaldehyde_PM7_cation.aux -- \
  formaldehyde_PM7.aux fukui.glb --fukui zero --anion formaldehyde_PM7_anion.aux \
  --cation formaldehyde_PM7_cation.aux
expect_each_opened_once "a gallery of classic MOs" caffeine.mno pm3r.txt -- \
  caffeine.mno gallery.png --gallery --params pm3r.txt --mo HOMO..LUMO --size 240x120
