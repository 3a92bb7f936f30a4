#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: once as a plain debug build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then a fixed run of each
# fuzzer and the format check. Any failure stops it with a non-zero exit.
#
# HWATABLE_SKIP_DEPS=1 skips the package installation (for a machine already set up).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${HWATABLE_SKIP_DEPS:-0}" != 1 ]; then tools/install-deps.sh; fi

for preset in debug sanitize; do
  echo "== $preset build and tests"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

echo "== fuzzers"
cmake --preset fuzz
cmake --build --preset fuzz
for fuzzer in build/fuzz/fuzz/*_fuzz; do
  corpus="fuzz/corpus/$(basename "$fuzzer")"
  mkdir -p build/fuzz/work
  work="build/fuzz/work/$(basename "$fuzzer")"
  rm -rf "$work" && mkdir -p "$work"
  dict=()
  [ -f "fuzz/dict/$(basename "$fuzzer").dict" ] && dict=(-dict="fuzz/dict/$(basename "$fuzzer").dict")
  # A fixed, short run of each (tools/fuzz-long.sh runs them long).
  "$fuzzer" -seed=1 -runs=200000 -max_total_time=30 -max_len=4096 "${dict[@]}" "$work" "$corpus"
done

echo "== format"
tools/check-format.sh

echo "== pictures and sounds"
tools/check-assets.sh

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "== the tests left the tracked files as they were"
  git diff --exit-code --stat
fi
echo "All tests passed."
