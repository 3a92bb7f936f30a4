#!/usr/bin/env bash
# A thousand hands dealt and settled by the real portal: hwatable-sim logs in as a member,
# plays every hand the portal deals it (deciding by chance), posts each save with its
# record as the game does, and stops with an error at the first hand the portal settles
# otherwise than the simulator did. The portal's database must then count every hand.
# Options after HANDS go to the simulator (--opponent search: hands against the search
# player, which the portal then settles against it too).
#
#   tests/portal/hands_through_the_portal.sh PORTAL SIM [HANDS [SIM OPTIONS...]]
set -euo pipefail

portal_program=$1
sim=$2
hands=${3:-1000}
shift $(($# < 3 ? $# : 3))
source "$(dirname "$0")/../e2e/common.sh"
logs=(portal)

portal() { "$portal_program" --data "$work/portal" "$@"; }
figure() { portal show player | sed -n "s/^$1: //p"; }

portal adduser player secret1 --money 100000000000 >/dev/null
start_portal "$portal_program" "$work/portal" portal

"$sim" --portal "$url" --name player --password secret1 --hands "$hands" --human random \
  --seed 2026 --stake 500 --service 2 --quiet "$@" || fail "the portal settled a hand otherwise"

counted=$(($(figure wins) + $(figure losses) + $(figure draws)))
[ "$counted" = "$hands" ] || fail "the portal counts $counted hands, not $hands"
# Each hand against the player the simulator asked for (show lists the last ten).
listed=$(portal show player | grep -c "^  hand .* stake 500: ") || true
searched=$(portal show player | grep -c "^  hand .* stake 500 against the search player: ") || true
if [[ " $* " == *" --opponent search "* ]]; then
  [ "$searched" -ge 1 ] && [ "$listed" = 0 ] || fail "hands not settled against the search player"
else
  [ "$searched" = 0 ] || fail "hands settled against the search player unasked"
fi
echo "the portal holds $hands hands: money $(figure money), wins $(figure wins)," \
  "losses $(figure losses), draws $(figure draws)"
