#!/usr/bin/env bash
# The game as a newcomer meets it, on a virtual X server in a C locale with no fonts of the
# X server's own: the real hwatable against a real hwatable-portal, seen only through
# screenshots of the X screen and played only by mouse and keyboard. Every moment is
# checked on the screen before anything is clicked there:
#   the login window; a name the portal does not know and its join question (declined);
#   the waiting room; the deal, its cards gliding; three cards played by mouse; the
#   Go/Stop question, answered Stop; the result; the waiting room again with its start
#   button; a second hand, left by the exit button and its question answered 예.
# The portal deals both hands; its database must then hold the first hand as it settled it
# from the game's record, the second still open, and the game must have logged out.
#
#   tests/e2e/play_a_hand.sh BUILD/app SCREENCHECK   (under xvfb-run, as CTest does)
# HWATABLE_SHOTS=DIR keeps the screenshots there, emptied first (CTest keeps them in
# build/debug/tests/e2e-shots; by default they go with the scratch folder).
set -euo pipefail

bin=$(cd "$1" && pwd)
check=$2
source "$(dirname "$0")/common.sh"
logs=(portal game checks)
export LANG=C.UTF-8 LC_ALL=C.UTF-8
shots=${HWATABLE_SHOTS:-$work/shots}
rm -rf "$shots" && mkdir -p "$shots"

portal() { "$bin/hwatable-portal" --data "$work/portal" "$@"; }
figure() { portal show newbie | sed -n "s/^$1: //p"; }

# The first hand: the human (선) holds the January, March and November brights and the
# floor their months; the pile gives him the three godori birds as he flips. Three
# plays make 8 points: the Go/Stop question. The computer holds nothing of those months.
# The three service cards of a new player's settings lie at the bottom of the pile.
deck=020610141619202326000840282430421822273435373825363944450446124729010305070911131517213132334143484950

portal adduser newbie 'pa&ss word' --money 500000 >/dev/null
# The portal deals every hand; a test build of it deals this one first.
HWATABLE_TEST_DECK=$deck HWATABLE_TEST_MISSION=0 \
  start_portal "$bin/hwatable-portal" "$work/portal" portal

HWATABLE_PORTAL_URL=$url "$bin/hwatable" >"$work/game.log" 2>&1 &
game_pid=$!
started_pids+=("$game_pid")
wait_for 20 xdotool search --name '^Velmaro$' || fail "no game window"
window=$(xdotool search --name '^Velmaro$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"
left=$X top=$Y

# shot NAME: the X screen as it is now.
shot() { import -window root "$shots/$1.png"; }
# see SECONDS NAME CHECK...: takes screenshots until one shows what the checks ask for.
see() {
  local seconds=$1 name=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  while true; do
    shot "$name"
    rm -f "$shots/$name.png.failed-"*  # what an earlier look did not find
    if "$check" --images "$bin" "$shots/$name.png" "$left" "$top" "$@" >"$work/check.out" 2>&1; then
      cat "$work/check.out" >>"$work/checks.log"
      return 0
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
      cat "$work/check.out" >>"$work/checks.log"
      fail "the screen did not show $name ($shots/$name.png)"
    fi
    sleep 0.3
  done
}
# click X Y: a click at a point of the window.
click() { xdotool mousemove "$((left + $1))" "$((top + $2))" click 1; }

join_question='접속하신 정보와 일치하는 회원이 존재하지 않습니다\n정보분실 및 신규가입은 홈페이지에서 가능합니다  \n\nQuenrith 무료가입을 하시겠습니까?'
exit_question='게임을 종료하시겠습니까?\n게임이 현재 진행중에 있습니다'

# 1. The login window over the board; the title strip with all its buttons.
see 20 01-login login title-strip
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool mousemove "$((left + 400))" "$((top + 300))"

# 2. A name the portal does not know: the join question, drawn in the window; 아니요.
xdotool type --delay 30 stranger
xdotool key Return
xdotool type --delay 30 nothing
xdotool key Return
see 20 02-join-question box yesno information Velmaro "$join_question"
read -r x y < <("$check" --images "$bin" "$shots/02-join-question.png" "$left" "$top" \
  where-box-button yesno information Velmaro "$join_question" 1)
click "$x" "$y"
see 10 03-login-again login

# 3. The right name and password: the waiting room. (The focus is still in the password
#    box, where Enter sent the first try.)
for _ in $(seq 8); do xdotool key BackSpace; done
xdotool key Tab
for _ in $(seq 9); do xdotool key BackSpace; done
xdotool type --delay 30 newbie
xdotool key Return
xdotool type --delay 30 'pa&ss word'
xdotool key Return
wait_for 20 grep -q "chk.asp.*newbie" "$work/portal.log" || fail "no login reached the portal"
see 20 04-waiting-room start-button title-strip

# 4. 게임 시작: the deal, its cards in flight, then the human's hand face up.
click 300 400
see 10 05-deal card-in-flight
see 20 06-dealt no-start-button card 24 467 481 card 45 545 539

# 5. Three plays by mouse, each card found on the screen first; a click during the
#    computer's turn is refused, so each card is clicked until it has left the hand.
play() {
  local card=$1 name=$2 x y clicked=0
  local deadline=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$deadline" ]; do
    shot "$name"
    if ! read -r x y < <("$check" --images "$bin" "$shots/$name.png" "$left" "$top" \
      find-hand-card "$card" | grep -v NOT); then
      [ "$clicked" = 1 ] || fail "card $card is not in the hand ($shots/$name.png)"
      return 0  # it has left the hand
    fi
    click "$x" "$y"
    clicked=1
    sleep 0.7
  done
  fail "card $card was never played ($shots/$name.png)"
}
play 0 07-play-january
play 8 08-play-march
play 40 09-play-november

# 6. Eight points: the Go/Stop question, answered Stop; the result; OK.
see 30 10-go-stop go-stop
click $((189 + 114 + 47)) $((228 + 40 + 29))
see 20 11-result result
click $((132 + 198 + 49)) $((206 + 164 + 20))
see 20 12-waiting-room-again start-button title-strip
wait_for 20 [ "$(figure wins)" = 1 ] || fail "the hand was not saved as a win"
money=$(figure money)
[ "$money" -gt 500000 ] || fail "the winner's money did not grow ($money)"
# The portal settled it by playing it again from the game's record of the three plays and
# the Stop, and the game shows the portal's figures.
portal show newbie | grep -q "hand 1 dealt .*: won +$((money - 500000)) (record)" ||
  fail "the portal did not settle the hand from its record: $(portal show newbie)"
echo "after the hand: money $money, wins $(figure wins), losses $(figure losses)"

# 7. A second hand, left by the exit button: the question, 예, and the game ends.
click 300 400
see 20 13-second-hand no-start-button title-strip
click 774 13
see 10 14-exit-question box yesno information Velmaro "$exit_question"
read -r x y < <("$check" --images "$bin" "$shots/14-exit-question.png" "$left" "$top" \
  where-box-button yesno information Velmaro "$exit_question" 0)
click "$x" "$y"
for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$game_pid" 2>/dev/null && fail "the game did not end"
wait "$game_pid" || fail "the game ended with status $?"
grep -q "lgo.asp.*newbie" "$work/portal.log" || fail "the game did not log out"
# The second hand, left unfinished, waits at the portal to be settled as abandoned.
portal show newbie | grep -q "hand 2 dealt .*: open" || fail "the second hand is not open"
echo "screens checked: $(ls "$shots" | tr '\n' ' ')"
echo "PASSED"
