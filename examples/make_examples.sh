#!/usr/bin/env bash
# Rebuilds every example of this folder: listing (atp.dat) and expected outputs.
#
#   examples/make_examples.sh BUILD_DIR             listings from the committed MOL2 files
#   examples/make_examples.sh BUILD_DIR --geometry  first new MOL2 files from the SMILES
#
# Each real molecule comes from one line of molecules.tsv:
#   obabel -:"SMILES" --gen3d --partialcharge mmff94 --title NAME -omol2 -O NAME/NAME.mol2
#   packscan-listing NAME/NAME.mol2 -o NAME/atp.dat
# Open Babel's 3-D generation searches conformers with random moves, so a new
# geometry differs from run to run; the committed MOL2 files are therefore the
# source of the listings, and --geometry is needed only for a new molecule.
# The starter listing is written by hand; only its expected outputs are rebuilt.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: make_examples.sh BUILD_DIR [--geometry]}" && pwd)"
geometry="${2:-}"

run_packscan() {  # runs packscan on $1/atp.dat and keeps the thirteen outputs in $1/expected
  local dir="$1" work
  work="$(mktemp -d)"
  cp "$dir/atp.dat" "$work/"
  (cd "$work" && "$build/packscan")
  mkdir -p "$dir/expected"
  cp "$work/rb872.dat" "$work"/coord*.xyz "$dir/expected/"
  rm -rf "$work"
}

while IFS=$'\t' read -r name smiles; do
  [[ -z "$name" || "$name" == \#* ]] && continue
  dir="$here/$name"
  mkdir -p "$dir"
  if [[ "$geometry" == --geometry || ! -f "$dir/$name.mol2" ]]; then
    obabel -:"$smiles" --gen3d --partialcharge mmff94 --title "$name" -omol2 -O "$dir/$name.mol2"
  fi
  (cd "$dir" && "$build/packscan-listing" "$name.mol2" -o atp.dat)
  run_packscan "$dir"
  echo "$name: $(head -1 "$dir/expected/coord2.xyz" | awk '{print $1 / 3}') atoms"
done < "$here/molecules.tsv"
run_packscan "$here/starter"
