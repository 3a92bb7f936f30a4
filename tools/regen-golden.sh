#!/usr/bin/env bash
# Writes the simulator's records of a fixed set of hands to tests/golden/, where a test
# compares every build's records with them. Run it after a deliberate change of the
# game's behaviour, and read the diff before committing it. Each record is written to a
# temporary file first and moved into place only when the simulator succeeded, so a
# failed run never leaves a half-written record behind.
set -euo pipefail
cd "$(dirname "$0")/.."
sim="${1:-build/debug/sim/hwatable-sim}"
write() {  # write NAME ARGS...
  local name=$1 temporary
  shift
  temporary=$(mktemp "tests/golden/.hands-$name.XXXXXX")
  if "$sim" "$@" >"$temporary"; then
    mv "$temporary" "tests/golden/hands-$name.jsonl"
  else
    rm -f "$temporary"
    echo "the simulator failed for $name; tests/golden/hands-$name.jsonl is unchanged" >&2
    return 1
  fi
}
write seed2026 --hands 30 --seed 2026 --service 3 --money 100000000
write seed7 --hands 30 --seed 7 --service 0 --stake 500 --seon computer --money 100000000
echo "Golden records written; check them with git diff tests/golden."
