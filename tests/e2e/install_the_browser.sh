#!/usr/bin/env bash
# The updater started without a command line, on a virtual X server, with the portal's
# desktop browser missing: the notice is confirmed with a click, the question to install
# the browser answered with Enter; the updater fetches the browser vendor's list (a
# second portal), downloads a stand-in browser installer, waits for its files, starts
# the browser with "SL" and its check program with "AS^100^", and ends.
#
# The question is checked on the X screen, drawn in its own window, in a C locale.
#
#   tests/e2e/install_the_browser.sh APP_FOLDER SCREENCHECK   (under xvfb-run, as CTest does)
set -euo pipefail

app=$(cd "$1" && pwd)
check=$2
source "$(dirname "$0")/common.sh"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
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
# The browser vendor signs nothing with the game's list key.
"$app/hwatable-portal" --data "$work/vendor" publish 117 "$work/browser-setup" --url "$url" \
  --unsigned >/dev/null || fail "publishing the browser failed"
export HWATABLE_PORTAL_URL=$url HWATABLE_BROWSER_URL=$url

"$app/updater" >"$work/updater.log" 2>&1 &
updater_pid=$!
started_pids+=("$updater_pid")
wait_for 20 window_shown "게임실행 방법" || fail "no notice"
notice=$(window_shown "게임실행 방법")
sleep 0.5
xdotool mousemove --window "$notice" 110 160 click 1
wait_for 20 window_shown "Ostrel 브라우져설치" || fail "no question to install the browser"
question=$(window_shown "Ostrel 브라우져설치")
eval "$(xdotool getwindowgeometry --shell "$question")"
sleep 0.5
import -window root "$work/question.png"
"$check" --images "$app" "$work/question.png" "$X" "$Y" own-box yesno information \
  "Ostrel 브라우져설치" \
  'Velmaro 게임을 실행하기 위해서는 [Ostrel 브라우져]가 필요합니다 \nOstrel 브라우져를 지금 설치하시겠습니까?' \
  >"$work/checks.log" 2>&1 || { cat "$work/checks.log" >&2; fail "the question is not on the screen"; }
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
