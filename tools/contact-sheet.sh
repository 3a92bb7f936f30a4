#!/usr/bin/env bash
# Writes a contact sheet of the game's pictures to a new temporary folder and
# prints that folder's path.  Every picture is enlarged (small ones more) and
# labelled with its file name; the card sheet is also shown at its drawing size
# (four times larger), rendered afresh from the sources.
#
# Usage: tools/contact-sheet.sh [IMAGES_FOLDER]     (default: assets/images)
# Result: FOLDER/contact.png (everything) and FOLDER/cards-4x.png.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
images="${1:-$root/assets/images}"
convert=/usr/bin/convert
montage=/usr/bin/montage

[ -d "$images" ] || { echo "no pictures in $images; run tools/generate-assets.sh first" >&2; exit 1; }
out="$(mktemp -d /tmp/hwatable-contact.XXXXXX)"
work="$out/work"
mkdir -p "$work"

# enlarge NAME FACTOR: a labelled, enlarged copy of one picture
enlarge() {
  local name="$1" factor="$2"
  "$convert" "$images/$name" -scale "$((factor * 100))%" "$work/${name%.*}.png"
  echo "$work/${name%.*}.png"
}

# group TITLE FACTOR COLUMNS NAMES...: one labelled block of pictures
group() {
  local title="$1" factor="$2" columns="$3"; shift 3
  local files=() name
  for name in "$@"; do
    [ -f "$images/$name" ] && files+=("$(enlarge "$name" "$factor")")
  done
  [ "${#files[@]}" -gt 0 ] || return 0
  local block="$work/block-$(printf '%02d' "$blocks").png"
  blocks=$((blocks + 1))
  "$montage" -label '%t' "${files[@]}" -tile "${columns}x" -geometry +12+22 -background '#3a3a3a' \
    -fill white -font DejaVu-Sans -pointsize 14 "$block.tmp.png"
  "$convert" "$block.tmp.png" -gravity north -background '#202020' -fill '#ffd060' -font DejaVu-Sans \
    -pointsize 18 -splice 0x28 -annotate +0+4 "$title (x$factor)" "$block"
  rm -f "$block.tmp.png"
}

blocks=0
group "board" 1 1 img_groom.jpg
group "card sheet" 3 1 whatoo.gif
group "dialogs" 2 4 pop_Window_Wave.gif pop_Window_Select.gif pop_Window_WaveOK.gif \
  pop_Window_Chong.gif pop_Window_Hwatable.gif pop_Window_GukJin.gif
group "result windows and login" 2 3 pop_Window_Result.gif pop_Window_Result2.gif pop_Window_Login.gif
group "mission box" 2 1 img_Mission.gif img_MissionGubun.gif
group "avatars" 2 1 img_Avatas.gif
group "effects" 2 5 eft_GO1.gif eft_GO2.gif eft_GO3.gif eft_GO4.gif eft_GO5.gif
group "small pieces" 4 4 img_Countdown.gif img_Bomb.gif num_current.gif num_state.gif \
  num_Mission_BeSu.gif img_Sun.gif
group "buttons" 3 4 btn_GameStart.gif btn_HwatableMenu_Go.gif btn_HwatableMenu_Stop.gif \
  btn_GukJin_Yes.gif btn_GukJin_No.gif btn_ResultOK.gif btn_LoginMember.gif btn_LoginLoss.gif \
  btn_LoginHome.gif btn_LoginOK.gif btn_WaitMenu_Exit.gif btn_GameMenu_Option.gif \
  btn_GameMenu_Min.gif btn_GameMenu_Max.gif btn_GameMenu_Res.gif btn_GameMenu_Exit2.gif

"$convert" "$work"/block-*.png -background '#202020' -gravity center -append "$out/contact.png"

# the cards at their drawing size, straight from the sources
/usr/bin/python3 -B "$root/tools/assets/make_images.py" "$work/fresh" --hires "$work/hires" >/dev/null
cp "$work/hires/whatoo@4x.png" "$out/cards-4x.png"
rm -rf "$work"
echo "$out"
