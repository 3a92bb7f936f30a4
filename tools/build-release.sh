#!/usr/bin/env bash
# Builds the release programs with profile-guided optimization: a training build plays
# hands of every kind headless (the idle and the random human, the search opponent, the
# portal's replay) and records how often each branch of the engine is taken; the release
# build is then compiled with that record. The profile is recorded again only when the
# training build has changed (the engine's code did), and the release build is then
# compiled afresh, so that every object is built with the same profile.
#
#   tools/build-release.sh [TARGET...]   (default: every program)
set -euo pipefail
cd "$(dirname "$0")/.."

profile=build/pgo-profile
cmake --preset pgo-train >/dev/null
cmake --build --preset pgo-train --target hwatable-sim
trainer=build/pgo-train/sim/hwatable-sim
fresh=0
if [ ! -f "$profile/stamp" ] || [ "$trainer" -nt "$profile/stamp" ]; then
  echo "-- recording the profile for the release build"
  rm -rf "$profile"
  mkdir -p "$profile"
  money=(--money 1000000000000)
  "$trainer" --hands 20000 --seed 2 "${money[@]}" --quiet
  "$trainer" --hands 5000 --seed 3 --human random "${money[@]}" --quiet
  "$trainer" --hands 1000 --seed 4 --replay "${money[@]}" --quiet
  "$trainer" --match search written --deals 10 --playouts 200 --threads 1 --seed 5 >/dev/null 2>&1
  touch "$profile/stamp"
  fresh=1
fi
cmake --preset release >/dev/null
if [ "$fresh" = 1 ]; then cmake --build --preset release --target clean; fi
if [ $# -gt 0 ]; then
  cmake --build --preset release --target "$@"
else
  cmake --build --preset release
fi
