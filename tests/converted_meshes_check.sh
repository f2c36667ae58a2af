#!/usr/bin/env bash
# Converts real samples in both orbital models to every mesh format and has real programs read
# them: assimp loads each file, admesh finds every STL shell closed and nothing to repair, and
# Blender imports the glTF, OBJ and PLY with the two lobes' materials or colours.
set -euo pipefail
converter=$1 assimp=$2 admesh=$3 blender=$4 data=$5 scripts=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert() {  # SAMPLE NAME OPTIONS...
  local sample=$1 name=$2
  shift 2
  for format in glb obj ply stl; do
    "$converter" "$data/$sample" "$work/$name.$format" --homo --quiet "$@"
  done
}
convert caffeine.mno classic --params "$data/pm3r.txt" --scale 5
convert aux/chloroform_PM7.aux exact --scale 6
convert aux/thiophene_PM7.mgf graphics --scale 4

status=0
for file in "$work"/*.glb "$work"/*.obj "$work"/*.ply "$work"/*.stl; do
  if ! "$assimp" info "$file" >"$work/assimp.txt" 2>&1; then
    echo "assimp cannot load $(basename "$file")"; cat "$work/assimp.txt"; status=1
  fi
done
for file in "$work"/*.stl; do
  "$admesh" "$file" >"$work/admesh.txt"
  for line in "Facets with 1 disconnected edge" "Facets with 2 disconnected edges" \
              "Facets with 3 disconnected edges" "Degenerate facets" "Edges fixed" \
              "Facets removed" "Facets added" "Facets reversed" "Backwards edges"; do
    if ! grep -Eq "^$line +: +0( |$)" "$work/admesh.txt"; then
      echo "admesh on $(basename "$file"): $(grep "^$line" "$work/admesh.txt")"; status=1
    fi
  done
done
"$blender" -b --factory-startup --python-exit-code 1 --python "$scripts/blender_import_check.py" \
  -- "$work"/*.glb "$work"/*.obj "$work"/*.ply >"$work/blender.txt" 2>&1 || {
  cat "$work/blender.txt"; exit 1; }
imported=$(grep -c '^LOBEWRIGHT ' "$work/blender.txt" || true)
if [[ $imported != 9 ]]; then echo "Blender imported $imported of 9 files"; status=1; fi
# Each glTF and OBJ carries the materials "positive" and "negative"; each PLY its colours.
while read -r line; do
  case $line in
    *'"format": "ply"'*) pattern='"Col"' ;;
    *) pattern='"positive": \[' ;;
  esac
  if ! grep -q "$pattern" <<<"$line" || { [[ $pattern != '"Col"' ]] &&
       ! grep -q '"negative": \[' <<<"$line"; }; then
    echo "Blender lacks the lobes' materials: $line"; status=1
  fi
done < <(grep '^LOBEWRIGHT ' "$work/blender.txt")
[[ $status == 0 ]] && echo "assimp, admesh and Blender read all 12 files"
exit $status
