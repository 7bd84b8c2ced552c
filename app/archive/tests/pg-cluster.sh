#!/usr/bin/env bash
# A private PostgreSQL cluster with PostGIS for the archive tests, on its own port and socket
# folder, run as the unprivileged postgres user when started as root (CI runs as root).
# Usage: pg-cluster.sh start|stop|kill|restart DIR PORT
#   start: a fresh cluster in DIR (PostGIS in template1, so every new database has it)
#   kill: the server dies at once, as a crash would; restart: starts it again on the same data
set -euo pipefail
cmd=$1 dir=$2 port=$3
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
owner=()
if [ "$(id -u)" -eq 0 ]; then owner=(runuser -u postgres --); fi

run_server() {
  "${owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p $port -k $dir -c listen_addresses= -c fsync=off" start >/dev/null
}

case $cmd in
start)
  "$0" stop "$dir" "$port"   # a cluster an aborted run left behind
  mkdir -p "$dir"
  if ((${#owner[@]})); then chown postgres "$dir"; fi
  "${owner[@]}" "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 >"$dir/initdb.log"
  run_server
  "${owner[@]}" "$bin/psql" -h "$dir" -p "$port" -U postgres -d template1 -qc "CREATE EXTENSION postgis"
  echo "PostgreSQL with PostGIS on port $port, socket in $dir"
  ;;
kill)
  "${owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
  ;;
restart)
  run_server
  ;;
stop)
  if [ -f "$dir/data/postmaster.pid" ]; then
    "${owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop|kill|restart DIR PORT" >&2
  exit 2
  ;;
esac
