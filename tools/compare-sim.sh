#!/usr/bin/env bash
# Compares the speed of two builds of hwatable-sim on a machine whose processors may slow
# down while others use the host (a shared virtual machine): each round runs A on one
# processor and B on the other at the same moment, then the other way round, so that
# both see the same moments and the same processors. Prints each round's times and
# B's speed relative to A (above 1: B is faster), then the median of the rounds.
# Nothing here passes or fails: it measures and prints.
#
#   tools/compare-sim.sh SIM_A SIM_B [ROUNDS] [HANDS]   (defaults 8 and 100000)
set -euo pipefail

a=${1:?usage: tools/compare-sim.sh SIM_A SIM_B [ROUNDS] [HANDS]}
b=${2:?usage: tools/compare-sim.sh SIM_A SIM_B [ROUNDS] [HANDS]}
rounds=${3:-8}
hands=${4:-100000}
for sim in "$a" "$b"; do
  [ -x "$sim" ] || { echo "compare-sim: $sim is not a program" >&2; exit 1; }
done
[ "$(nproc)" -ge 2 ] || { echo "compare-sim: needs two processors" >&2; exit 1; }
args=(--hands "$hands" --seed 1 --money 1000000000000 --quiet)

# Seconds of one run's hands on the given processor, as the simulator reports them (it
# runs alone there, so they are its processor time).
seconds() {
  taskset -c "$2" "$1" "${args[@]}" | sed -n 's/.* hands in \([0-9.]*\) s.*/\1/p'
}

results=$(mktemp)
trap 'rm -f "$results" "$results".*' EXIT
for round in $(seq 1 "$rounds"); do
  seconds "$a" 0 >"$results.a0" & seconds "$b" 1 >"$results.b1" & wait
  seconds "$b" 0 >"$results.b0" & seconds "$a" 1 >"$results.a1" & wait
  for run in a0 a1 b0 b1; do
    [ -s "$results.$run" ] || { echo "compare-sim: a run in round $round printed no time" >&2; exit 1; }
  done
  # B's speed over A's, the processors' speeds cancelling out, and each one's rate.
  awk -v r="$round" -v n="$hands" -v out="$results" \
    -v a0="$(cat "$results.a0")" -v a1="$(cat "$results.a1")" \
    -v b0="$(cat "$results.b0")" -v b1="$(cat "$results.b1")" 'BEGIN {
      speed = sqrt((a0 * a1) / (b0 * b1))
      printf "round %d: A %.3f s and %.3f s, B %.3f s and %.3f s: B/A %.3f\n", r, a0, a1, b0, b1, speed
      printf "%f %f %f\n", speed, 2 * n / (a0 + a1), 2 * n / (b0 + b1) >> out
    }'
done
# The median of the rounds' B/A (a round in which the host slowed one processor midway
# is far off either way), and each build's mean rate.
sort -n "$results" | awk '{ speed[NR] = $1; ra += $2; rb += $3 } END {
  median = NR % 2 ? speed[(NR + 1) / 2] : (speed[NR / 2] + speed[NR / 2 + 1]) / 2
  printf "B/A %.3f (median of %d rounds); A %.0f, B %.0f hands per second\n", median, NR, ra / NR, rb / NR
}'
