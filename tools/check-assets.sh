#!/usr/bin/env bash
# Checks that the committed pictures and sounds are what the generator makes from their
# sources. Needs the generating tools (python3, rsvg-convert, ImageMagick, sox,
# espeak-ng); without them it says so and checks nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in python3 rsvg-convert /usr/bin/convert sox espeak-ng; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "check-assets: $tool is not installed; the generated files were not compared"
    exit 0
  fi
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
tools/generate-assets.sh "$out" >/dev/null
if diff -r assets/images "$out/images" >/dev/null && diff -r assets/sounds "$out/sounds" >/dev/null; then
  echo "check-assets: the committed pictures and sounds match their sources"
else
  diff -rq assets/images "$out/images" || true
  diff -rq assets/sounds "$out/sounds" || true
  echo "check-assets: run tools/generate-assets.sh and commit what it writes" >&2
  exit 1
fi
