#!/usr/bin/env bash
# Regenerates every picture and sound of the game from the sources in
# tools/assets/: the drawings (cards.py, skin.py, rendered by make_images.py),
# the sound-effect recipes (sounds.txt) and the spoken lines (voices.txt, both
# made by make_sounds.py).
#
# Usage: tools/generate-assets.sh [OUTPUT_FOLDER]      (default: assets/)
# Writes OUTPUT_FOLDER/images/*.gif|jpg and OUTPUT_FOLDER/sounds/**/*.wav; the two
# folders are replaced as a whole.  Running it twice gives byte-identical files.
#
# Needs (Debian packages): imagemagick librsvg2-bin sox espeak-ng python3 fonts-nanum
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
src="$root/tools/assets"
out="${1:-$root/assets}"

missing=()
for tool in /usr/bin/convert /usr/bin/montage /usr/bin/python3; do
  [ -x "$tool" ] || missing+=("$tool")
done
for tool in rsvg-convert sox espeak-ng fc-list; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "missing: ${missing[*]}" >&2
  echo "install with: apt-get install imagemagick librsvg2-bin sox espeak-ng python3 fonts-nanum" >&2
  exit 1
fi
fc-list : family | grep NanumGothic >/dev/null || { echo "the Nanum fonts are missing (apt-get install fonts-nanum)" >&2; exit 1; }

mkdir -p "$out"
work="$(mktemp -d "$out/.generate.XXXXXX")"
trap 'rm -rf "$work"' EXIT

start=$(date +%s)
/usr/bin/python3 -B "$src/make_images.py" "$work/images"
/usr/bin/python3 -B "$src/make_sounds.py" "$work/sounds"
echo "made $(find "$work/sounds" -name "*.wav" | wc -l) sounds"

rm -rf "$out/images" "$out/sounds"
mv "$work/images" "$out/images"
mv "$work/sounds" "$out/sounds"
echo "done in $(( $(date +%s) - start )) s"
