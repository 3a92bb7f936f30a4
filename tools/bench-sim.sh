#!/usr/bin/env bash
# Measures the engine on hands played headless, and prints:
#   - hands per second of `hwatable-sim --quiet` (the best of three runs), with the
#     signature of all results, which a faster engine must leave unchanged; on a machine
#     with taskset, once on each processor, as a virtual machine's processors may run at
#     different speeds while the host is busy;
#   - instructions per hand, counted by callgrind (when valgrind is installed) as the
#     difference between two runs, so that the program's start does not count; this does
#     not depend on the machine's load;
#   - hands per second of the JSON mode, written to /dev/null.
# Nothing here passes or fails: it measures and prints.
#
#   tools/bench-sim.sh [HANDS] [BUILD_FOLDER]   (defaults 100000 and build/release, brought up
#   to date first; another folder is measured as it is)
set -euo pipefail
cd "$(dirname "$0")/.."

hands=${1:-100000}
build=${2:-build/release}
if [ "$build" = build/release ]; then
  cmake --preset release >/dev/null && cmake --build --preset release --target hwatable-sim >/dev/null
fi
sim=$build/sim/hwatable-sim
args=(--seed 1 --money 1000000000000)

# The best of three quiet runs, on the given processor (or wherever the system puts it).
quiet() {
  local pin=() best=0 line rate
  [ -n "$1" ] && pin=(taskset -c "$1")
  for _ in 1 2 3; do
    line=$("${pin[@]}" "$sim" --hands "$hands" "${args[@]}" --quiet)
    rate=$(echo "$line" | sed -n 's/.* \([0-9]*\) hands\/s.*/\1/p')
    signature=$(echo "$line" | sed -n 's/.*signature \([0-9a-f]*\).*/\1/p')
    [ "${rate:-0}" -gt "$best" ] && best=$rate
  done
  echo "quiet${1:+ on processor $1}: $best hands/s (best of 3 runs of $hands), signature $signature"
}
if command -v taskset >/dev/null; then
  for cpu in $(seq 0 $(($(nproc) - 1))); do quiet "$cpu"; done
else
  quiet ""
fi

# Instructions of a run of n hands, by callgrind.
instructions() {
  local out
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file="$out" "$sim" --hands "$1" "${args[@]}" \
    --quiet >/dev/null 2>"$out.log"
  local total
  total=$(sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$out.log")
  [ -n "$total" ] || total=$(sed -n 's/^summary: *\([0-9]*\).*/\1/p' "$out")
  echo "$total"
  rm -f "$out" "$out.log"
}
if command -v valgrind >/dev/null; then
  counted=$((hands / 50 > 0 ? hands / 50 : 1))
  once=$(instructions "$counted")
  twice=$(instructions "$((2 * counted))")
  echo "instructions: $(((twice - once) / counted)) per hand (callgrind: $((2 * counted)) hands" \
    "less $counted), $((once / counted)) per hand with the program's start"
else
  echo "instructions: valgrind is not installed"
fi

start=$(date +%s.%N)
"$sim" --hands "$((hands / 10))" "${args[@]}" >/dev/null
awk -v n="$((hands / 10))" -v from="$start" -v to="$(date +%s.%N)" \
  'BEGIN { printf "json: %.0f hands/s (%d hands, written to /dev/null)\n", n / (to - from), n }'
