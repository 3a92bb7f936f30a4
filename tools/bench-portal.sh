#!/usr/bin/env bash
# Measures what a hand costs the portal, and prints:
#   - the time to play a hand again from its record (the core of every settlement), from
#     hwatable-sim --replay, which replays each hand it plays and checks it ends alike;
#   - the portal's processor time per hand, deal and settled save together (the request
#     parsing, the deal, the replay, the SQLite transactions), from /proc while
#     hwatable-sim --portal plays hands through it, and the wall time per hand.
# Nothing here passes or fails: it measures and prints.
#
#   tools/bench-portal.sh [HANDS] [BUILD_FOLDER]   (defaults 2000 and build/release, built if missing)
set -euo pipefail
cd "$(dirname "$0")/.."

hands=${1:-2000}
build=${2:-build/release}
if [ ! -x "$build/app/hwatable-portal" ] || [ ! -x "$build/sim/hwatable-sim" ]; then
  cmake --preset release >/dev/null && cmake --build --preset release >/dev/null
fi
portal=$build/app/hwatable-portal
sim=$build/sim/hwatable-sim

work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

echo "replay alone:"
"$sim" --hands "$hands" --seed 7 --human random --replay --quiet --money 1000000000000 |
  sed 's/^/  /'

"$portal" --data "$work/portal" adduser bench secret1 --money 1000000000000 >/dev/null
"$portal" --data "$work/portal" --listen 127.0.0.1:0 >"$work/portal.log" 2>&1 &
server=$!
pids+=("$server")
for _ in $(seq 100); do grep -q "serving http" "$work/portal.log" && break; sleep 0.1; done
url=$(sed -n 's/.*serving \(http:[^ ]*\) .*/\1/p' "$work/portal.log")

# utime + stime of a process, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
before=$(ticks "$server")
start=$(date +%s%N)
"$sim" --portal "$url" --name bench --password secret1 --hands "$hands" --seed 7 \
  --human random --quiet | sed 's/^/  /'
end=$(date +%s%N)
after=$(ticks "$server")
hz=$(getconf CLK_TCK)
echo "through the portal ($hands hands, deal and save each):"
awk -v t=$((after - before)) -v hz="$hz" -v n="$hands" -v ns=$((end - start)) 'BEGIN {
  printf "  portal processor time %.2f s, %.2f ms per hand\n", t / hz, 1000 * t / hz / n
  printf "  wall time %.2f s, %.2f ms per hand (the simulator playing its side included)\n",
    ns / 1e9, ns / 1e6 / n }'
