#!/usr/bin/env bash
# An update as the player meets it when something goes wrong, on loopback, in a scratch
# HOME, on a virtual X server in a C locale. Installed: version 101 by its own installer,
# with this build's updater and a stand-in game that records its starts and holds the
# game's lock while it runs, as the game does. The installed updater, started as the menu
# entry starts it:
#   1. twice, a second apart (a double click): one installer runs, one game starts, and
#      no download is left behind;
#   2. with the game folder read-only, or on a full disk, and
#   3. with the installer missing on the portal (404): the download error on the screen,
#      then the installed game, and no home page;
#   4. with an installer that fails at once: 설치에러 with the installer's message within
#      seconds, the message in the updater's log, then the installed game;
#   5. with a list server that takes the connection and never answers: the window says
#      what it waits for, and the game starts within seconds;
#   6. with the game running: the question; 아니요 leaves the game and its files alone, 예
#      closes it and updates.
# After every failure the game folder is as it was, byte for byte.
#
#   tests/e2e/update_faults.sh APP_FOLDER UPDATER_102 CMAKE PACKAGING_FOLDER SCREENCHECK KEYS
#   (under xvfb-run, as CTest does). KEYS is the folder of the tests' list key, with which
#   every list is signed (UPDATER_102 carries its public half).
set -euo pipefail

app=$(cd "$1" && pwd)
updater102=$2
cmake=$3
packaging=$4
check=$5
keys=$6
source "$(dirname "$0")/common.sh"
logs=(portal updater checks log)
mkdir -p "$work/bin"
# The browser the home pages would open in: it only writes them down.
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
export LANG=C.UTF-8 LC_ALL=C.UTF-8

game=$HOME/.local/share/hwatable
settings=$HOME/.config/Marrowlyn/settings.ini
starts=$HOME/game-starts
updater_log=$HOME/.local/state/hwatable/updater.log
ln -s "$updater_log" "$work/log.log" # printed on failure with the others
run_ver() { sed -n 's/^RunVer=//p' "$settings"; }
count() { if [ -e "$1" ]; then wc -l <"$1"; else echo 0; fi; }
started() { [ "$(count "$starts")" -ge "$1" ]; }
pack() { # pack VERSION HWATABLE UPDATER
  "$cmake" -DVERSION="$1" -DOUTPUT="$work/installer-$1" -DSTAGE="$work/stage-$1" \
    -DHWATABLE="$2" -DPORTAL="$app/hwatable-portal" -DUPDATER="$3" \
    -DIMAGES="$app/images" -DSOUNDS="$app/sounds" -P "$packaging/build_installer.cmake" >/dev/null
}
publish() { # publish VERSION FILE: FILE becomes the portal's offer, signed
  mkdir -p "$work/portal"
  cp "$keys/list-key" "$work/portal/list-key"
  "$app/hwatable-portal" --data "$work/portal" publish "$1" "$2" --url "$url" >/dev/null ||
    fail "publishing $1 failed"
}
# What the game folder holds: every name with its kind and mode, every file's SHA-256.
listing() {
  (cd "$game" && find . -mindepth 1 -printf '%p %y %m\n' | sort &&
    find . -type f -print0 | sort -z | xargs -0 sha256sum)
}
# The installed updater as the menu entry starts it, on the X screen, in the background;
# sets updater_pid and began (the time it started). X11's libraries keep memory to the
# end, which the leak checker of a sanitizer build would call leaks.
start_updater() {
  began=$(date +%s.%N)
  SDL_VIDEODRIVER=x11 ASAN_OPTIONS=detect_leaks=0 "$@" "$game/updater" game \
    >>"$work/updater.log" 2>&1 &
  updater_pid=$!
  started_pids+=("$updater_pid")
}
seconds_since() { awk -v from="$1" -v to="$(date +%s.%N)" 'BEGIN { printf "%.1f", to - from }'; }
ended() { ! kill -0 "$1" 2>/dev/null; }
wait_updater() {
  wait_for 20 ended "$updater_pid" || fail "the updater did not end"
  wait "$updater_pid" || fail "the updater failed"
}
# screen_check NAME CHECK...: a screenshot of the shown window named by the first
# argument's title, checked at that window's place.
screen_check() {
  local title=$1 window
  shift
  window=$(window_shown "$title") || fail "no window \"$title\" is shown"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  sleep 0.5
  import -window root "$work/shot.png"
  "$check" --images "$app" "$work/shot.png" "$X" "$Y" "$@" >"$work/checks.log" 2>&1 ||
    fail "\"$title\" is not on the screen as it should be"
}
# A failed update seen through: the box (its caption and text on the screen), nothing
# started and no home page before it is answered; then the installed game, still no home
# page, no download left, and the game folder as it was.
failure_seen_through() { # CAPTION TEXT
  local before=$1 games
  shift
  games=$(count "$starts")
  wait_for 30 window_shown "$1" || fail "no \"$1\" box was shown"
  screen_check "$1" own-box ok error "$1" "$2"
  started $((games + 1)) && fail "the game started before the box was answered"
  [ ! -e "$work/opened" ] || fail "the home page opened"
  xdotool key Return
  wait_updater
  wait_for 20 started $((games + 1)) || fail "the installed game did not start after the box"
  [ ! -e "$work/opened" ] || fail "the home page opened although a game is installed"
  [ "$(listing)" = "$before" ] || fail "the game folder changed: $(diff <(echo "$before") <(listing))"
}

# The game's stand-in: it puts a new updater in place as the game does, holds the game's
# lock for as long as it runs (a second copy ends at once), records its start ("VERSION
# PID") and its end on SIGTERM, and runs HWATABLE_STAND_IN_RUNS seconds (none by default).
stand_in() { # stand_in VERSION FILE
  cat >"$2" <<GAME
#!/usr/bin/python3
import fcntl, os, shutil, signal, sys, time
home = os.environ["HOME"]
folder = os.path.dirname(os.path.abspath(sys.argv[0]))
pending = os.path.join(folder, "tmpupdater")
if os.path.isfile(pending):
    shutil.copy2(pending, os.path.join(folder, "updater.new"))
    os.replace(os.path.join(folder, "updater.new"), os.path.join(folder, "updater"))
    os.remove(pending)
lock = open(os.path.join(os.environ["XDG_RUNTIME_DIR"], "hwatable.lock"), "a")
try:
    fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
except OSError:
    sys.exit(0)
def closed(number, frame):
    with open(os.path.join(home, "game-ends"), "a") as ends:
        ends.write("$1 %d\n" % os.getpid())
    sys.exit(0)
signal.signal(signal.SIGTERM, closed)
with open(os.path.join(home, "game-starts"), "a") as starts:
    starts.write("$1 %d\n" % os.getpid())
time.sleep(float(os.environ.get("HWATABLE_STAND_IN_RUNS", "0")))
GAME
  chmod +x "$2"
}

stand_in 101 "$work/game-101"
stand_in 102 "$work/game-102"
pack 101 "$work/game-101" "$app/updater"
pack 102 "$work/game-102" "$updater102"
"$work/installer-101" >/dev/null || fail "installing 101 failed"
start_portal "$app/hwatable-portal" "$work/portal" portal
export HWATABLE_PORTAL_URL=$url

# 1. Two starts a second apart. The installer takes three seconds, so the second start
#    comes while the first one installs.
cat >"$work/slow-installer-102" <<SLOW
#!/bin/sh
echo run >>"$work/installer-runs"
sleep 3
exec "$work/installer-102" "\$@"
SLOW
chmod +x "$work/slow-installer-102"
publish 102 "$work/slow-installer-102"
start_updater env -u DISPLAY SDL_VIDEODRIVER=dummy
first=$updater_pid
sleep 1
start_updater env -u DISPLAY SDL_VIDEODRIVER=dummy
wait_for 5 ended "$updater_pid" || fail "the second updater did not end"
wait "$updater_pid" || fail "the second updater failed"
updater_pid=$first
wait_updater
wait_for 20 started 1 || fail "no game started"
sleep 1
[ "$(count "$starts")" = 1 ] || fail "$(count "$starts") games started"
[ "$(count "$work/installer-runs")" = 1 ] || fail "$(count "$work/installer-runs") installers ran"
[ "$(run_ver)" = 102 ] || fail "RunVer is $(run_ver), not 102"
grep -q "^102 " "$starts" || fail "the game that started is not 102"
leftovers=$(find "$game" -maxdepth 1 \( -name 102 -o -name '*.part' \))
[ -z "$leftovers" ] || fail "left behind: $leftovers"
grep -q "another updater runs" "$updater_log" || fail "the second start did not say why it ended"
echo "ok - two starts a second apart: one installer, one game, nothing left behind"

# 2. The game folder read-only: the download cannot be saved. (root writes anywhere, so it
#    gets a read-only view of the folder in a mount namespace of its own.)
cp "$work/installer-102" "$work/installer-103"
publish 103 "$work/installer-103"
before=$(listing)
if [ "$(id -u)" = 0 ]; then
  start_updater unshare -m sh -c 'mount --bind -o ro "$0" "$0" && exec "$@"' "$game"
else
  chmod a-w "$game"
  start_updater
fi
failure_seen_through "$before" 다운로드에러 \
  '업데이트중 에러가 발생하였습니다     \n홈페이지에서 다운로드/설치를 해주십시요    '
chmod u+w "$game"
echo "ok - a read-only game folder: the download error, then the installed game"

# 2b. A full disk: the game folder on a file system of its own that the download fills
#     (a small tmpfs in a mount namespace, with the folder's files copied in; root only).
if [ "$(id -u)" = 0 ]; then
  before=$(listing)
  start_updater unshare -m sh -c '
    copy=$(mktemp -d) && cp -a "$0"/. "$copy"/ &&
    mount -t tmpfs -o size=$(($(du -sk "$copy" | cut -f1) + 256))k tmpfs "$0" &&
    cp -a "$copy"/. "$0"/ && rm -rf "$copy" && exec "$@"' "$game"
  failure_seen_through "$before" 다운로드에러 \
    '업데이트중 에러가 발생하였습니다     \n홈페이지에서 다운로드/설치를 해주십시요    '
  echo "ok - a full disk: the download error, then the installed game"
else
  echo "skip - a full disk needs root for a file system of its own"
fi

# 3. The installer missing on the portal.
rm "$work/portal/down/installer-103"
before=$(listing)
start_updater
failure_seen_through "$before" 다운로드에러 \
  '업데이트중 에러가 발생하였습니다     \n홈페이지에서 다운로드/설치를 해주십시요    '
grep -q "GET /down/installer-103 404" "$work/portal.log" || fail "the installer was not asked for"
echo "ok - an installer missing on the portal: the download error, then the installed game"

# 4. An installer that fails at once, with a message.
message="hwatable-installer: cannot write the menu entry (a test)"
printf '#!/bin/sh\necho "unpacking the game files"\necho "%s" >&2\nexit 1\n' "$message" \
  >"$work/failing-installer-104"
publish 104 "$work/failing-installer-104"
before=$(listing)
start_updater
wait_for 10 window_shown 설치에러 || fail "no install error was shown"
waited=$(seconds_since "$began")
awk -v s="$waited" 'BEGIN { exit !(s < 5) }' || fail "the install error took $waited s"
failure_seen_through "$before" 설치에러 "설치도중 에러가 발생하였습니다     \\n홈페이지에서 직접 다운로드/설치를 해주십시요      \\n\\n$message\\n(자세한 내용: $updater_log)"
grep -qxF "$message" "$updater_log" || fail "the installer's message is not in the log"
grep -q "the installer ended with status 1" "$updater_log" || fail "its status is not in the log"
echo "ok - an installer that fails at once: 설치에러 with its message after $waited s, then the game"

# 5. A list server that takes the connection and never answers.
python3 -c '
import socket, sys, time
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(8)
print(server.getsockname()[1], flush=True)
held = []
while True:
    held.append(server.accept())
' >"$work/silent.port" &
started_pids+=($!)
wait_for 10 test -s "$work/silent.port" || fail "the silent server did not start"
games=$(count "$starts")
start_updater env HWATABLE_PORTAL_URL="http://127.0.0.1:$(cat "$work/silent.port")/"
wait_for 3 window_shown "Velmaro 업데이트.." || fail "the window did not show while waiting"
screen_check "Velmaro 업데이트.." update-window "업데이트 확인중..."
wait_for 15 started $((games + 1)) || fail "the game did not start"
waited=$(seconds_since "$began")
awk -v s="$waited" 'BEGIN { exit !(s >= 3 && s < 9) }' || fail "the game started after $waited s"
wait_updater
[ ! -e "$work/opened" ] || fail "the home page opened"
echo "ok - a list that never comes: the window said so, the game started after $waited s"

# 6. The game running: 아니요, then 예.
cp "$work/installer-102" "$work/installer-105"
publish 105 "$work/installer-105"
games=$(count "$starts")
HWATABLE_STAND_IN_RUNS=600 "$game/hwatable" &
running=$!
started_pids+=("$running")
wait_for 10 started $((games + 1)) || fail "the running game did not start"
before=$(listing)
question='게임이 실행중입니다\n지금 게임을 종료하고 업데이트하시겠습니까?'
start_updater
wait_for 30 window_shown 업데이트 || fail "no question about the running game"
screen_check 업데이트 own-box yesno question 업데이트 "$question"
xdotool key Escape # 아니요
wait_updater
kill -0 "$running" 2>/dev/null || fail "the running game was stopped"
[ ! -e "$HOME/game-ends" ] || fail "the running game was told to end"
[ "$(listing)" = "$before" ] || fail "the running game's files changed"
grep -q "GET /down/installer-105" "$work/portal.log" && fail "the installer was downloaded"
[ "$(count "$starts")" = $((games + 1)) ] || fail "another game started"
echo "ok - the game running, 아니요: the game and its files left alone"

start_updater
wait_for 30 window_shown 업데이트 || fail "no question about the running game the second time"
xdotool key Return # 예
wait_for 10 test -s "$HOME/game-ends" || fail "the running game was not closed"
wait "$running" || true
wait_updater
grep -q "GET /down/installer-105 200" "$work/portal.log" || fail "the installer was not downloaded"
wait_for 20 started $((games + 2)) || fail "the updated game did not start"
[ ! -e "$game/105" ] || fail "the installer was left behind"
echo "ok - the game running, 예: closed, updated and started again"
echo "PASSED"
