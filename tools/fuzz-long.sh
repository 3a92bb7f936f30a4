#!/usr/bin/env bash
# Runs every fuzz target long and prints, per target, the executions, the edge coverage
# and the crashes found (kept in build/fuzz/long/<target>/ as crash-*, with the inputs
# that grew the corpus beside them).
#
#   tools/fuzz-long.sh [RUNS_PER_TARGET] [SECONDS_PER_TARGET]   (defaults 10000000 and 3600)
set -uo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10000000}
seconds=${2:-3600}
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >/dev/null || exit 1

printf '%-20s %14s %10s %10s %8s\n' target executions coverage features crashes
for fuzzer in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$fuzzer")
  work="build/fuzz/long/$name"
  mkdir -p "$work/corpus"
  dict=()
  [ -f "fuzz/dict/$name.dict" ] && dict=(-dict="fuzz/dict/$name.dict")
  "$fuzzer" -runs="$runs" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$work/" "${dict[@]}" "$work/corpus" "fuzz/corpus/$name" \
    >"$work/output.log" 2>&1
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/output.log" | tail -n 1)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/output.log" | tail -n 1)
  coverage=$(echo "$done_line" | sed -n 's/.*cov: \([0-9]*\).*/\1/p')
  features=$(echo "$done_line" | sed -n 's/.*ft: \([0-9]*\).*/\1/p')
  crashes=$(find "$work" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' -o \
    -maxdepth 1 -name 'timeout-*' | wc -l)
  printf '%-20s %14s %10s %10s %8s\n' "$name" "${executions:-?}" "${coverage:-?}" \
    "${features:-?}" "$crashes"
done
