#!/usr/bin/env bash
# An update from one version of the game to the next, on loopback, in a scratch HOME:
# version 101 installed by its own installer (its game a stand-in that records its start,
# its updater this build's, which carries no list key); a portal with the tests' list key
# publishing, in lists it signs, versions whose game is a stand-in that records its start
# (and finishes the updater hand-over as the game does) and whose updater is a build of
# version 102 carrying the tests' public key. Then the installed updater, as the menu
# entry starts it:
#   0. offered 101 right after the fresh install of 101, starts the game at once;
#   1. downloads 102, checks its digest, installs it, runs the new updater once and
#      starts the new game, leaving no download behind;
#   2. with 102 installed, starts the game at once;
#   3. with the portal down, starts the game at once;
#   4. with a corrupted installer on the portal, shows the download error in a window of
#      its own (checked on the X screen, in a C locale), deletes the file, runs nothing of
#      it and, once the error is answered, starts the installed game (no home page: there
#      is a game to play);
#   5. with a list signed with another key, shows that the list's signature does not
#      match (on the X screen), then starts the installed game, downloading nothing and
#      leaving the game folder as it was.
# The faults an update meets are tried in update_faults.sh.
#
#   tests/e2e/update_the_game.sh APP_FOLDER UPDATER_102 CMAKE PACKAGING_FOLDER SCREENCHECK KEYS
#   (under xvfb-run, as CTest does; the first runs use SDL's dummy video driver). KEYS is
#   the folder of the tests' list key, which UPDATER_102 carries.
set -euo pipefail

app=$(cd "$1" && pwd)
updater102=$2
cmake=$3
packaging=$4
check=$5
keys=$6
source "$(dirname "$0")/common.sh"
logs=(portal updater checks)
export SDL_VIDEODRIVER=dummy
mkdir -p "$work/bin"
# The browser the home pages would open in: it only writes them down.
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH

game=$HOME/.local/share/hwatable
settings=$HOME/.config/Marrowlyn/settings.ini
starts=$HOME/game-starts
run_ver() { sed -n 's/^RunVer=//p' "$settings"; }
started() { [ "$(wc -l <"$starts" 2>/dev/null || echo 0)" -ge "$1" ]; }
pack() {  # pack VERSION HWATABLE UPDATER
  "$cmake" -DVERSION="$1" -DOUTPUT="$work/installer-$1" -DSTAGE="$work/stage-$1" \
    -DHWATABLE="$2" -DPORTAL="$app/hwatable-portal" -DUPDATER="$3" \
    -DIMAGES="$app/images" -DSOUNDS="$app/sounds" -P "$packaging/build_installer.cmake" >/dev/null
}
run_updater() {  # the installed updater as the menu entry starts it, with no display; at most a minute
  timeout 60 env -u DISPLAY "$game/updater" game >>"$work/updater.log" 2>&1 ||
    fail "the updater failed ($?)"
}
serve() {
  start_portal "$app/hwatable-portal" "$work/portal" portal
  export HWATABLE_PORTAL_URL=$url
}

# publish VERSION INSTALLER: as the operator publishes, with the address the portal
# serving the data folder records.
publish() {
  "$app/hwatable-portal" --data "$work/portal" publish "$1" "$2" >"$work/publish.log" 2>&1 ||
    fail "publishing $1 failed: $(cat "$work/publish.log")"
}

# The games: stand-ins that finish the updater hand-over as the game does and record
# their start.
for version in 101 102; do
  cat >"$work/hwatable-$version" <<GAME
#!/bin/sh
folder=\$(dirname "\$0")
if [ -f "\$folder/tmpupdater" ]; then
  cp "\$folder/tmpupdater" "\$folder/updater.new" && mv "\$folder/updater.new" "\$folder/updater" &&
    rm "\$folder/tmpupdater"
fi
echo "$version" >>"\$HOME/game-starts"
GAME
  chmod +x "$work/hwatable-$version"
done

# Version 101, with this build's updater, installed by its installer.
pack 101 "$work/hwatable-101" "$app/updater"
"$work/installer-101" >/dev/null || fail "installing 101 failed"
[ -x "$game/updater" ] || fail "101 did not install an updater"
# Version 102: the updater of version 102, with the tests' key.
pack 102 "$work/hwatable-102" "$updater102"

mkdir -p "$work/portal"
cp "$keys/list-key" "$work/portal/list-key"
serve

# 0. Right after the fresh install the same version is offered: nothing to download.
publish 101 "$work/installer-101"
run_updater
wait_for 20 started 1 || fail "the installed game did not start"
[ "$(cat "$starts")" = 101 ] || fail "the game started was not 101: $(cat "$starts")"
grep -q "GET /down/installer" "$work/portal.log" && fail "101 was downloaded again"
echo "ok - right after a fresh install of 101, 101 on offer starts the game at once"

# 1. The update, from a list signed with the tests' key (the updater of 101 has no key).
publish 102 "$work/installer-102"
[ "$(tail -n 1 "$work/publish.log")" = "$(cat "$work/portal/down/nlist.lst")" ] ||
  fail "publish did not print the list it wrote"
grep -q "^102<br>$url""down/installer-102<br>[0-9a-f]\{64\}<br>sig:" \
  "$work/portal/down/nlist.lst" || fail "the list is not the portal's, signed: $(cat "$work/portal/down/nlist.lst")"
run_updater
wait_for 20 started 2 || fail "the new game did not start"
[ "$(tail -n 1 "$starts")" = 102 ] || fail "the game started was not 102"
[ "$(run_ver)" = 102 ] || fail "RunVer is $(run_ver), not 102"
grep -q "GET /down/installer-102 200" "$work/portal.log" || fail "nothing was downloaded"
cmp -s "$game/updater" "$updater102" || fail "the new updater is not in place"
leftovers=$(find "$game" -maxdepth 1 \( -name 102 -o -name '*.part' \))
[ -z "$leftovers" ] || fail "the download was left behind: $leftovers"
echo "ok - 101 updated to 102 and the new game started"

# 2. Nothing newer: the game starts at once, nothing is downloaded. (The updater of 102
# takes only lists signed with its key.)
downloads=$(grep -c "GET /down/installer" "$work/portal.log")
run_updater
wait_for 20 started 3 || fail "the game did not start with 102 installed"
[ "$(grep -c "GET /down/installer" "$work/portal.log")" = "$downloads" ] || fail "downloaded again"
grep -q "signature\|not signed" "$work/updater.log" && fail "the list's signature was refused"
echo "ok - with 102 installed the game started at once"

# 3. The portal down: the game starts at once.
kill "$portal_pid"
wait "$portal_pid" 2>/dev/null || true
run_updater
wait_for 20 started 4 || fail "the game did not start with the portal down"
echo "ok - with the portal down the game started at once"

# 4. A corrupted installer: the error, nothing run, the file gone, the installed game.
# box_answered_then_game CAPTION TEXT SHOT GAMES: the installed updater, on the X screen
# now, shows the box (its caption and text checked on the screen, into SHOT) before any
# game starts; answered, it ends and the installed game starts as start number GAMES.
# (X11's libraries keep memory to the end, which the leak checker of a sanitizer build
# would call leaks.)
box_answered_then_game() {
  local caption=$1 text=$2 shot=$3 games=$4 box
  SDL_VIDEODRIVER=x11 LANG=C.UTF-8 LC_ALL=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 \
    "$game/updater" game >>"$work/updater.log" 2>&1 &
  updater_pid=$!
  started_pids+=("$updater_pid")
  wait_for 30 window_shown "$caption" || fail "no $caption box was shown"
  box=$(window_shown "$caption")
  eval "$(xdotool getwindowgeometry --shell "$box")"
  sleep 0.5
  import -window root "$work/$shot"
  "$check" --images "$app" "$work/$shot" "$X" "$Y" own-box ok error "$caption" "$text" \
    >"$work/checks.log" 2>&1 || fail "the $caption box is not on the screen"
  started "$games" && fail "the game started before the $caption box was answered"
  xdotool key Return
  for _ in $(seq 100); do kill -0 "$updater_pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$updater_pid" 2>/dev/null && fail "the updater did not end"
  wait "$updater_pid" || fail "the updater failed ($?)"
  wait_for 20 started "$games" || fail "the installed game did not start after the $caption box"
}

serve
cp "$work/installer-102" "$work/installer-103"
publish 103 "$work/installer-103"
installer=$work/portal/down/installer-103
printf 'x' >>"$installer"
: >"$work/updater.log"
rm -f "$work/opened"
box_answered_then_game 다운로드에러 \
  '업데이트중 에러가 발생하였습니다     \n홈페이지에서 다운로드/설치를 해주십시요    ' \
  download-error.png 5
[ ! -e "$work/opened" ] || fail "the home page was opened although a game is installed"
[ ! -e "$game/103" ] || fail "the corrupted installer was left behind"
[ "$(run_ver)" = 102 ] || fail "RunVer changed to $(run_ver)"
echo "ok - a corrupted installer was refused, nothing of it ran and the installed game started"

# 5. A list signed with another key: told, then the installed game starts as it was.
"$app/hwatable-portal" --data "$work/other" keygen >/dev/null || fail "keygen failed"
cp "$work/other/list-key" "$work/portal/list-key"
cp "$work/installer-102" "$work/installer-104"
publish 104 "$work/installer-104"
snapshot() { (cd "$game" && find . -printf '%p %y %m %s\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} + | LC_ALL=C sort); }
before=$(snapshot)
requests=$(grep -c "GET /down/" "$work/portal.log")
: >"$work/updater.log"
box_answered_then_game 업데이트에러 \
  '업데이트 목록의 서명이 맞지 않습니다     \n설치되어 있는 게임을 그대로 실행합니다    ' \
  signature-error.png 6
[ "$(tail -n 1 "$starts")" = 102 ] || fail "the game started was not the installed 102"
grep -q "nlist.lst: the list's signature was not made with the key of this updater" \
  "$work/updater.log" || fail "the updater did not say why it refused the list"
[ "$(grep -c "GET /down/" "$work/portal.log")" = "$((requests + 1))" ] ||
  fail "more than the list was fetched"
[ "$(snapshot)" = "$before" ] || fail "the game folder changed"
echo "ok - a list signed with another key was told, and the installed game started unchanged"
echo "PASSED"
