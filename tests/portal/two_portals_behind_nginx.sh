#!/usr/bin/env bash
# Two portal processes on one PostgreSQL database behind nginx, configured as the README
# shows it (packaging/nginx/hwatable-portal.conf): hwatable-sim plays hands through nginx,
# and one portal is killed (kill -9) while the hands go on. Every hand must still be
# settled, once, as the simulator played it, and the database must count them all.
#
#   tests/portal/two_portals_behind_nginx.sh PORTAL SIM [HANDS]
set -euo pipefail

portal_program=$1
sim=$2
hands=${3:-1500}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/common.sh"
logs=(portal-1 portal-2 nginx-error sim)

# The database server's folder must be reachable by its own user, so it is not in $work.
pg=$(mktemp -d /tmp/hwatable-nginx-test-pg.XXXXXX)
stop_all() {
  "$here/../../tools/test-postgres.sh" stop "$pg" || true
  cleanup
}
trap stop_all EXIT
database=$("$here/../../tools/test-postgres.sh" start "$pg" | sed 's|/postgres$|/hwatable|')
psql "${database%/hwatable}/postgres" -qc "CREATE DATABASE hwatable" >/dev/null

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
portal() { "$portal_program" --data "$work/operator" --database "$database" "$@"; }
figure() { portal show player | sed -n "s/^$1: //p"; }
counted() { echo $(($(figure wins) + $(figure losses) + $(figure draws))); }

portal adduser player secret1 --money 100000000000 >/dev/null

# The two portals, on the ports the configuration names.
declare -a portal_pids
for n in 1 2; do
  port=$(free_port)
  eval "port_$n=$port"
  "$portal_program" --data "$work/portal-$n" --database "$database" \
    --listen "127.0.0.1:$port" --proxy 127.0.0.1 >"$work/portal-$n.log" 2>&1 &
  portal_pids[$n]=$!
  started_pids+=("$!")
  wait_for 10 grep -q "serving http" "$work/portal-$n.log" || fail "portal $n did not start"
done

# nginx with the operator's configuration, its ports and name changed to the test's.
nginx_port=$(free_port)
mkdir -p "$work/nginx/logs"
sed -e "s/127\.0\.0\.1:8411/127.0.0.1:$port_1/" -e "s/127\.0\.0\.1:8412/127.0.0.1:$port_2/" \
  -e "s/listen 80;/listen 127.0.0.1:$nginx_port;/" -e "s/server_name .*;/server_name 127.0.0.1;/" \
  "$here/../../packaging/nginx/hwatable-portal.conf" >"$work/nginx/portal.conf"
cat >"$work/nginx/nginx.conf" <<CONF
$([ "$(id -u)" -eq 0 ] && echo "user root;")
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx-error.log warn;
events { worker_connections 256; }
http {
    access_log $work/nginx/access.log;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    include $work/nginx/portal.conf;
}
CONF
nginx -t -p "$work/nginx" -c "$work/nginx/nginx.conf" >"$work/nginx-error.log" 2>&1 ||
  fail "nginx refuses the configuration"
nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -g "daemon off;" 2>>"$work/nginx-error.log" &
started_pids+=("$!")
url="http://127.0.0.1:$nginx_port/"
wait_for 10 bash -c "exec 3<>/dev/tcp/127.0.0.1/$nginx_port" || fail "nginx does not listen"

# The hands, and in their middle one portal killed without warning.
"$sim" --portal "$url" --name player --password secret1 --hands "$hands" --human random \
  --seed 77 --stake 500 --service 2 --quiet >"$work/sim.log" 2>&1 &
sim_pid=$!
a_third_played() { [ "$(counted)" -ge $((hands / 3)) ]; }
wait_for 60 a_third_played || fail "the hands do not go on"
kill -9 "${portal_pids[1]}"
wait "${portal_pids[1]}" 2>/dev/null || true
killed_after=$(counted)
wait "$sim_pid" || fail "a hand failed or settled otherwise after a portal was killed"
[ "$killed_after" -lt "$hands" ] || fail "the hands were over before the portal was killed"
grep -q "POST /sub/svp.asp" "$work/portal-2.log" || fail "the other portal saved no hand"

[ "$(counted)" = "$hands" ] || fail "the database counts $(counted) hands, not $hands"
settled_twice=$(psql "$database" -tAc \
  "SELECT count(*) FROM hands WHERE state <> 'settled' OR settled_by <> 'record'")
[ "$settled_twice" = 0 ] || fail "$settled_twice hands are open or were settled without their record"
echo "two portals behind nginx: $hands hands settled once each, portal 1 killed after $killed_after"
