#!/usr/bin/env bash
# Converts real samples in both orbital models to every mesh format, and a density's surface
# coloured by an MO to those that carry colours, and has real programs read them: assimp loads
# each file, admesh finds every STL shell closed and nothing to repair, and Blender imports the
# glTF, OBJ and PLY with the two lobes' materials or colours, or the surface's vertex colours.
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
# The density's surface coloured by the HOMO: STL carries no colours.
for format in glb obj ply; do
  "$converter" "$data/aux/formaldehyde_PM7.aux" "$work/coloured.$format" --field density \
    --color-by mo:HOMO --scale 4 --quiet
done

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
if [[ $imported != 12 ]]; then echo "Blender imported $imported of 12 files"; status=1; fi
# Each glTF and OBJ carries the materials "positive" and "negative"; each PLY its colours. The
# coloured glTF shows its vertex colours through the material, the coloured PLY has them (the
# OBJ's, Blender 3.4 does not read).
while read -r line; do
  case $line in
    *'"file": "coloured.glb"'*) patterns=('"vertex_colour_materials": \["positive"\]' '"Col"') ;;
    *'"file": "coloured.obj"'*) patterns=('"result": \["FINISHED"\]') ;;
    *'"format": "ply"'*) patterns=('"Col"') ;;
    *) patterns=('"positive": \[' '"negative": \[') ;;
  esac
  for pattern in "${patterns[@]}"; do
    if ! grep -q "$pattern" <<<"$line"; then
      echo "Blender lacks $pattern: $line"; status=1
    fi
  done
done < <(grep '^LOBEWRIGHT ' "$work/blender.txt")
[[ $status == 0 ]] && echo "assimp, admesh and Blender read all 15 files"
exit $status
