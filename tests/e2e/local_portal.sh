#!/usr/bin/env bash
# The game with no portal configured, on a virtual X server: it starts its own portal,
# which records itself in the runtime folder, logs in there, and the portal outlives
# the game; the next game uses the same portal; a portal recorded by another build is
# stopped and replaced by this build's.
#
#   tests/e2e/local_portal.sh BUILD/app SCREENCHECK VERSION   (under xvfb-run, as CTest does)
set -euo pipefail

bin=$(cd "$1" && pwd)
check=$2
version=$3
source "$(dirname "$0")/common.sh"
logs=(portal game checks)
export LANG=C.UTF-8 LC_ALL=C.UTF-8

data=$HOME/.local/share/hwatable-portal
record=$XDG_RUNTIME_DIR/hwatable/portal
"$bin/hwatable-portal" --data "$data" adduser newbie 'secret word' --money 500000 >/dev/null
ln -s "$data/server.log" "$work/portal.log"

# field NAME: the value of a line of the record.
field() { sed -n "s/^$1 //p" "$record"; }
# portal_pids: the running hwatable-portal processes of this run (of its runtime folder).
portal_pids() {
  local pid
  for pid in $(pgrep -x hwatable-portal); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" &&
      echo "$pid"
  done
}

# play_once: starts the game, logs in and waits for the waiting room, ends the game.
play_once() {
  local name=$1 window left top
  "$bin/hwatable" >>"$work/game.log" 2>&1 &
  game_pid=$!
  started_pids+=("$game_pid")
  wait_for 60 xdotool search --name '^Velmaro$' || fail "no game window"
  window=$(xdotool search --name '^Velmaro$' | head -1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  left=$X top=$Y
  see() {
    local deadline=$((SECONDS + 20))
    until import -window root "$work/$name.png" &&
      "$check" --images "$bin" "$work/$name.png" "$left" "$top" "$@" >>"$work/checks.log" 2>&1; do
      [ "$SECONDS" -lt "$deadline" ] || fail "the screen did not show $* ($name)"
      sleep 0.3
    done
  }
  see login
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool type --delay 30 newbie
  xdotool key Return
  xdotool type --delay 30 'secret word'
  xdotool key Return
  see start-button
  kill "$game_pid"
  wait_for 10 eval '! kill -0 "$game_pid"' || kill -9 "$game_pid"
  wait "$game_pid" 2>/dev/null || true
}

# 1. No portal runs: the game starts one, which records itself; the login reaches it.
play_once first
[ -f "$record" ] || fail "the portal did not record itself"
[ "$(stat -c %a "$XDG_RUNTIME_DIR/hwatable")" = 700 ] || fail "the record's folder is open to others"
[ "$(stat -c %a "$record")" = 600 ] || fail "the record is open to others"
pid=$(field pid) port=$(field port)
started_pids+=("$pid")
[ "$(field version)" = "$version" ] || fail "the portal records version $(field version), not $version"
grep -q "serving http://127.0.0.1:$port/" "$work/portal.log" || fail "the record names another port"
[ "$(grep -c "chk.asp.*newbie" "$work/portal.log")" = 1 ] || fail "the login did not reach it"
kill -0 "$pid" 2>/dev/null || fail "the portal ended with the game"
echo "ok - the game started its portal on port $port (process $pid)"

# 2. The next game uses it.
play_once second
[ "$(field pid)" = "$pid" ] || fail "a second portal was started"
[ "$(portal_pids)" = "$pid" ] || fail "more than one portal runs: $(portal_pids)"
[ "$(grep -c "chk.asp.*newbie" "$work/portal.log")" = 2 ] || fail "the second login went elsewhere"
echo "ok - the next game used the same portal"

# 3. A portal recorded by another build is stopped and this build's started.
sed -i "s/^version .*/version 1/" "$record"
play_once third
new_pid=$(field pid)
started_pids+=("$new_pid")
[ "$new_pid" != "$pid" ] || fail "the other build's portal was used"
kill -0 "$pid" 2>/dev/null && fail "the other build's portal still runs"
[ "$(field version)" = "$version" ] || fail "the new portal did not record itself"
[ "$(grep -c "chk.asp.*newbie" "$work/portal.log")" = 3 ] || fail "the third login went elsewhere"
echo "ok - another build's portal was replaced (process $new_pid)"

# 4. Stopped, the portal removes its record.
kill "$new_pid"
wait_for 10 [ ! -e "$record" ] || fail "the stopped portal left its record"
echo "PASSED"
