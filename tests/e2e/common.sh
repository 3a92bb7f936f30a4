# Sourced by the end-to-end scripts: a scratch folder with a scratch HOME, the processes
# they start stopped at the end, polling, failing with the logs, and portals on free
# loopback ports.
#
#   source common.sh; logs=(portal game)   # $work/<name>.log, printed on failure

work=$(mktemp -d)
started_pids=()
logs=()
cleanup() {
  local pid
  for pid in "${started_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  local log
  echo "FAILED: $*" >&2
  for log in "${logs[@]}"; do
    echo "--- $log" >&2
    cat "$work/$log.log" >&2 2>/dev/null || true
  done
  exit 1
}

# wait_for SECONDS COMMAND...: polls the command until it succeeds; false after SECONDS.
wait_for() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

export HOME=$work/home XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy
unset XDG_CONFIG_HOME XDG_DATA_HOME HWATABLE_PORTAL_URL HWATABLE_BROWSER_URL
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# start_portal PROGRAM DATA LOG: serves the data folder on a free port, logging to
# $work/LOG.log; sets url (its base address) and portal_pid.
start_portal() {
  "$1" --data "$2" --listen 127.0.0.1:0 >"$work/$3.log" 2>&1 &
  portal_pid=$!
  started_pids+=("$portal_pid")
  wait_for 10 grep -q "serving http" "$work/$3.log" || fail "the portal did not start"
  url=$(sed -n 's/.*serving \(http:[^ ]*\) .*/\1/p' "$work/$3.log")
}

# window_shown TITLE: prints the id of the shown window with that title; false when there
# is none. (xwininfo reads the titles as the program set them, in any locale.)
window_shown() {
  local window
  window=$(xwininfo -root -tree | sed -n "s/^ *\(0x[0-9a-f]*\) \"$1\".*/\1/p" | head -1)
  [ -n "$window" ] && xwininfo -id "$window" | grep -q IsViewable && echo "$window"
}
