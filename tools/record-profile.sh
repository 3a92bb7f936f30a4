#!/usr/bin/env bash
# Records the profile that the release build is optimized with (GCC's profile-guided
# optimization): builds the training programs (build/pgo-train, instrumented), plays
# hands headless of every kind with them (the idle and the random human, the portal's
# replay, the search opponent), and leaves the counts in PROFILE_DIR with a stamp. The
# release build runs this itself whenever a source has changed since the last record.
#
#   tools/record-profile.sh PROFILE_DIR
set -euo pipefail
cd "$(dirname "$0")/.."

profile=${1:?usage: tools/record-profile.sh PROFILE_DIR}
cmake --preset pgo-train -DHWATABLE_PGO_DIR="$profile" >/dev/null
cmake --build --preset pgo-train --target hwatable-sim
trainer=build/pgo-train/sim/hwatable-sim
rm -rf "$profile"
mkdir -p "$profile"
money=(--money 1000000000000)
"$trainer" --hands 20000 --seed 2 "${money[@]}" --quiet
"$trainer" --hands 5000 --seed 3 --human random "${money[@]}" --quiet
"$trainer" --hands 1000 --seed 4 --replay "${money[@]}" --quiet
"$trainer" --match search written --deals 10 --playouts 200 --threads 1 --seed 5 >/dev/null 2>&1
touch "$profile/stamp"
