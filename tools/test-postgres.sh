#!/usr/bin/env bash
# A PostgreSQL server for the tests alone: a fresh cluster in DIR on a free loopback port,
# trusting local connections, without fsync (the tests need no durability from it).
#
#   tools/test-postgres.sh start DIR   # prints and writes DIR/uri: postgresql://…/postgres
#   tools/test-postgres.sh stop DIR    # stops it and removes DIR
#
# PostgreSQL refuses to run as root; as root the server runs as the "postgres" user.
set -euo pipefail

command=${1:?usage: test-postgres.sh start|stop DIR}
dir=${2:?usage: test-postgres.sh start|stop DIR}

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "test-postgres.sh: PostgreSQL is not installed (tools/install-deps.sh installs it)" >&2
  exit 1
fi
as_owner=()
if [ "$(id -u)" -eq 0 ]; then as_owner=(runuser -u postgres --); fi

case "$command" in
  start)
    if [ -f "$dir/data/postmaster.pid" ]; then
      "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres "$dir"; fi
    "${as_owner[@]}" "$bin/initdb" -D "$dir/data" -U hwatable -A trust -E UTF8 --locale=C -N \
      >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=400" \
      start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    echo "postgresql://hwatable@127.0.0.1:$port/postgres" | tee "$dir/uri"
    ;;
  stop)
    if [ -d "$dir/data" ]; then
      "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
  *)
    echo "usage: test-postgres.sh start|stop DIR" >&2
    exit 2
    ;;
esac
