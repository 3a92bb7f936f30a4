#!/usr/bin/env bash
# The game program as a newcomer meets it, on a virtual X server: a portal with one
# member, the game started from the build folder, the name and password typed into the
# login window, the start button clicked, a whole hand with the player idle (every turn
# ends by its time-out), and the exit button. The portal's database must then hold the
# hand's money and record, and the game must have logged out.
#
#   tests/e2e/play_a_hand.sh BUILD/app       (run under xvfb-run, as CTest does)
set -euo pipefail

bin=$(cd "$1" && pwd)
source "$(dirname "$0")/common.sh"
logs=(portal game)

portal() { "$bin/hwatable-portal" --data "$work/portal" "$@"; }
figure() { portal show newbie | sed -n "s/^$1: //p"; }

portal adduser newbie 'pa&ss word' --money 500000 >/dev/null
start_portal "$bin/hwatable-portal" "$work/portal" portal

HWATABLE_PORTAL_URL=$url "$bin/hwatable" >"$work/game.log" 2>&1 &
game_pid=$!
started_pids+=("$game_pid")
wait_for 20 xdotool search --name '^Velmaro$' || fail "no game window"
window=$(xdotool search --name '^Velmaro$' | head -1)
xdotool windowfocus --sync "$window"
sleep 0.5

# The login window has the focus in the game name box; Enter moves to the password.
xdotool type --delay 30 newbie
xdotool key Return
xdotool type --delay 30 'pa&ss word'
xdotool key Return
wait_for 20 grep -q "chk.asp.*newbie" "$work/portal.log" || fail "no login reached the portal"
sleep 1

# 게임 시작, then nothing until the hand has been saved.
xdotool mousemove --window "$window" 300 400 click 1
hand_saved() {
  [ $(($(figure wins) + $(figure losses) + $(figure draws))) -eq 1 ]
}
wait_for 600 hand_saved || fail "no hand was saved"
money=$(figure money)
if [ "$(figure draws)" = 0 ] && [ "$money" = 500000 ]; then fail "the money did not change"; fi
echo "after one hand: money $money, wins $(figure wins), losses $(figure losses)"

# The exit button once the result has closed by its ten-second countdown: between hands
# the game ends without a question, and logs out.
sleep 20
xdotool mousemove --window "$window" 770 10 click 1
for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$game_pid" 2>/dev/null && fail "the game did not end"
wait "$game_pid" || fail "the game ended with status $?"
grep -q "lgo.asp.*newbie" "$work/portal.log" || fail "the game did not log out"
echo "PASSED"
