#!/usr/bin/env bash
# Runs MOPAC on the benchmark decks whose outputs are missing or older than the deck, in the
# given folder: the runs are too large to keep in the repository. MOPAC makes most in seconds;
# the 999-atom water cluster takes it about two minutes on two cores.
set -euo pipefail
decks=$(cd "$(dirname "$0")/decks" && pwd)
runs=${1:?usage: make_runs.sh FOLDER}
mkdir -p "$runs"
for deck in "$decks"/*.mop; do
  name=$(basename "$deck" .mop)
  if [ ! -s "$runs/$name.out" ] || [ "$deck" -nt "$runs/$name.out" ]; then
    echo "MOPAC: $name"
    cp "$deck" "$runs/"
    (cd "$runs" && mopac "$name.mop" >/dev/null 2>&1)
    if ! grep -q "JOB ENDED NORMALLY\|== MOPAC DONE ==" "$runs/$name.out"; then
      echo "MOPAC failed on $name: see $runs/$name.out" >&2
      exit 1
    fi
  fi
done
