#!/usr/bin/env bash
# Writes the simulator's records of a fixed set of hands to tests/golden/, where a test
# compares every build's records with them. Run it after a deliberate change of the
# game's behaviour, and read the diff before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
sim="${1:-build/debug/sim/hwatable-sim}"
"$sim" --hands 30 --seed 2026 --service 3 --money 100000000 > tests/golden/hands-seed2026.jsonl
"$sim" --hands 30 --seed 7 --service 0 --stake 500 --seon computer --money 100000000 \
  > tests/golden/hands-seed7.jsonl
echo "Golden records written; check them with git diff tests/golden."
