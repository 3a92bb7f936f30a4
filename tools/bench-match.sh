#!/usr/bin/env bash
# The search player against the written one on duplicate deals (each deck twice, seats
# swapped), with the report of `hwatable-sim --match`: hands won, money and points per hand
# with confidence intervals, decided deals won, and the CPU time per decision. Nothing here
# passes or fails: it measures and prints.
#
#   tools/bench-match.sh [DEALS] [PLAYOUTS] [THREADS]   (defaults 10000, 1200, 2)
set -euo pipefail
cd "$(dirname "$0")/.."

deals=${1:-10000}
playouts=${2:-1200}
threads=${3:-2}
cmake --preset release >/dev/null && cmake --build --preset release --target hwatable-sim >/dev/null
/usr/bin/time -f "wall %e s, CPU %U s user" \
  build/release/sim/hwatable-sim --match search written --deals "$deals" --playouts "$playouts" \
  --threads "$threads" --seed 1
