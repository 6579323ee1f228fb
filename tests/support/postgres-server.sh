#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests: start DIR makes a cluster in
# DIR that listens only on a Unix socket there (connect with "host=DIR
# user=postgres"); stop DIR stops it and removes DIR. The server refuses to
# run as root, so under root it runs as nobody, who then owns DIR.
set -euo pipefail
action=$1 dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as=()
if [ "$(id -u)" -eq 0 ]; then as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env); fi
case "$action" in
  start)
    rm -rf "$dir"; mkdir -p "$dir"
    [ ${#as[@]} -eq 0 ] || chown nobody:nogroup "$dir"
    "${as[@]}" "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
    "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
      -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off" start >/dev/null
    ;;
  stop)
    [ ! -d "$dir/data" ] || "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    rm -rf "$dir"
    ;;
esac
