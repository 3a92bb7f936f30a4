#!/usr/bin/env bash
# Measures the game's window as a player meets it, on a virtual X server, and prints:
#   - the time from the process's start to the first frame shown (the login window);
#   - the processor time the game takes while it sits idle in the waiting room;
#   - the frames shown during a deal, per second, and the deal's steps never shown.
# The game writes a line for every frame it shows (HWATABLE_FRAME_LOG); the figures come
# from those lines and from /proc. Nothing here passes or fails: it measures and prints.
#
#   tools/bench-display.sh [APP_FOLDER]     (default build/release/app, built if missing)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
app=${1:-build/release/app}
if [ ! -x "$app/hwatable" ]; then
  cmake --preset release >/dev/null && cmake --build --preset release >/dev/null
fi
app=$(cd "$app" && pwd)

work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME XDG_DATA_HOME HWATABLE_PORTAL_URL

"$app/hwatable-portal" --data "$work/portal" adduser bench secret --money 100000000 >/dev/null
"$app/hwatable-portal" --data "$work/portal" --listen 127.0.0.1:0 >"$work/portal.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "serving http" "$work/portal.log" && break; sleep 0.1; done
url=$(sed -n 's/.*serving \(http:[^ ]*\) .*/\1/p' "$work/portal.log")

now_us() { date +%s%6N; }
frames="$work/frames"
start=$(now_us)
HWATABLE_PORTAL_URL=$url HWATABLE_FRAME_LOG=$frames "$app/hwatable" >"$work/game.log" 2>&1 &
game=$!
pids+=("$game")
for _ in $(seq 200); do [ -s "$frames" ] && break; sleep 0.05; done
first=$(head -1 "$frames" | cut -d' ' -f1)
echo "first frame: $(((first - start) / 1000)) ms after the process started"

# Log in, then let the waiting room sit for ten seconds.
window=$(xdotool search --sync --name '^Velmaro$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove "$((X + 400))" "$((Y + 300))"
xdotool type --delay 20 bench && xdotool key Return
xdotool type --delay 20 secret && xdotool key Return
for _ in $(seq 100); do grep -q "chk.asp.*bench" "$work/portal.log" && break; sleep 0.1; done
sleep 3
ticks() { awk '{print $14 + $15}' "/proc/$game/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
frames_before=$(wc -l <"$frames")
sleep 10
after=$(ticks)
frames_after=$(wc -l <"$frames")
awk -v t=$((after - before)) -v hz="$hz" -v f=$((frames_after - frames_before)) \
  'BEGIN { printf "idle in the waiting room: %.2f%% of a core over 10 s, %d frames shown\n", 100 * t / hz / 10, f }'

# 게임 시작 and the deal.
click_at=$(now_us)
xdotool mousemove "$((X + 300))" "$((Y + 400))" click 1
sleep 8
# Each frame that showed new steps of the deal: how many (more than one means a step was
# never shown) and how long after the frame before it. The deal pauses between its
# halves (their sounds): gaps over 0.1 s are those pauses, not frames.
awk -v from="$click_at" '
  $1 >= from {
    if (last != "" && $2 > last) {
      steps += $2 - last; skipped += $2 - last - 1
      if (prev != "" && $1 - prev < 100000) { gaps++; total += $1 - prev; if ($1 - prev > worst) worst = $1 - prev }
      prev = $1
    }
    last = $2
  }
  END {
    printf "deal: %d steps, %d of them never shown; %.1f frames per second while it moves (slowest frame %.1f ms)\n",
           steps, skipped, gaps / (total / 1e6), worst / 1000
  }' "$frames"
kill "$game" 2>/dev/null || true
