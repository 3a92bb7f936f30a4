#!/usr/bin/env bash
# The updater started without a command line, on a virtual X server, with the portal's
# desktop browser missing: the notice is confirmed with a click, the question to install
# the browser answered with Enter; the updater fetches the browser vendor's list (a
# second portal), downloads a stand-in browser installer, waits for its files, starts
# the browser with "SL" and its check program with "AS^100^", and ends.
#
#   tests/e2e/install_the_browser.sh APP_FOLDER        (run under xvfb-run, as CTest does)
set -euo pipefail

app=$(cd "$1" && pwd)
source "$(dirname "$0")/common.sh"
logs=(vendor updater launched)
browser=$HOME/.local/share/Ostrel/Browser

# The stand-in browser installer: it leaves the browser's programs in its own folder;
# each of them writes down how it was started.
cat >"$work/browser-setup" <<SETUP
#!/bin/sh
folder=\$(dirname "\$0")
for program in ostrel ostreltask ostrelchk tmpostrelmain; do
  printf '#!/bin/sh\necho "%s \$*" >>"$work/launched.log"\n' "\$program" >"\$folder/\$program.new"
  chmod +x "\$folder/\$program.new"
  mv "\$folder/\$program.new" "\$folder/\$program"
done
SETUP
chmod +x "$work/browser-setup"

start_portal "$app/hwatable-portal" "$work/vendor" vendor
"$app/hwatable-portal" --data "$work/vendor" publish 117 "$work/browser-setup" --url "$url" \
  >/dev/null || fail "publishing the browser failed"
export HWATABLE_PORTAL_URL=$url HWATABLE_BROWSER_URL=$url

# A shown window by its title. (xdotool's search does not see SDL's message box, and
# blocks on it: xwininfo reads the titles instead.)
window_shown() {
  local window
  window=$(xwininfo -root -tree | sed -n "s/^ *\(0x[0-9a-f]*\) \"$1\".*/\1/p" | head -1)
  [ -n "$window" ] && xwininfo -id "$window" | grep -q IsViewable && echo "$window"
}

"$app/updater" >"$work/updater.log" 2>&1 &
updater_pid=$!
started_pids+=("$updater_pid")
wait_for 20 window_shown "게임실행 방법" || fail "no notice"
notice=$(window_shown "게임실행 방법")
sleep 0.5
xdotool mousemove --window "$notice" 110 160 click 1
wait_for 20 window_shown "Ostrel 브라우져설치" || fail "no question to install the browser"
question=$(window_shown "Ostrel 브라우져설치")
sleep 0.5
xdotool windowfocus "$question"
xdotool key Return

for _ in $(seq 600); do kill -0 "$updater_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$updater_pid" 2>/dev/null && fail "the updater did not end"
wait "$updater_pid" || fail "the updater ended with status $?"
grep -q "GET /down/browser-setup 200" "$work/vendor.log" || fail "the browser was not downloaded"
for program in ostrel ostreltask ostrelchk tmpostrelmain; do
  [ -x "$browser/$program" ] || fail "$program was not installed"
done
grep -qx "ostrel SL" "$work/launched.log" || fail "the browser was not started with SL"
grep -qx "ostrelchk AS^100^" "$work/launched.log" || fail "the check was not started"
echo "PASSED"
