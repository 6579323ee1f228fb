#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests: start DIR makes a cluster in
# DIR that listens only on a Unix socket there (connect with "host=DIR
# user=postgres"); stop DIR stops it and removes DIR. The server refuses to
# run as root, so under root it runs as nobody, who then owns DIR; where
# nobody cannot reach DIR (a build under /root), DIR links to a folder in /tmp.
set -euo pipefail
action=$1 dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as=()
if [ "$(id -u)" -eq 0 ]; then as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env); fi
case "$action" in
  start)
    rm -rf "$dir"; mkdir -p "$dir"
    if [ ${#as[@]} -ne 0 ]; then
      if ! "${as[@]}" test -x "$dir"; then rmdir "$dir"; ln -s "$(mktemp -d /tmp/vq-postgres.XXXXXX)" "$dir"; fi
      chown nobody:nogroup "$dir/"
    fi
    real=$(readlink -f "$dir")
    "${as[@]}" "$bin/initdb" -D "$real/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$real/initdb.log"
    "${as[@]}" "$bin/pg_ctl" -D "$real/data" -l "$real/server.log" -w \
      -o "-c listen_addresses='' -c unix_socket_directories='$real' -c fsync=off" start >/dev/null
    ;;
  stop)
    real=$(readlink -f "$dir")
    [ ! -d "$real/data" ] || "${as[@]}" "$bin/pg_ctl" -D "$real/data" -m immediate -w stop >/dev/null
    rm -rf "$real" "$dir"
    ;;
esac
