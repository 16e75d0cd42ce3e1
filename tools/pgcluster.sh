#!/usr/bin/env bash
# A private PostgreSQL cluster for the tests, under BUILD/pg (or BUILD/NAME): start, stop or status.
#   tools/pgcluster.sh start BUILD [NAME]   prints the connection string (also kept in
#                                           BUILD/NAME/conninfo)
# The server listens only on a Unix socket in BUILD/pg/sock, on a port no other server uses.
# It runs as an unprivileged user: the caller, or the postgres system user when run as root.
set -euo pipefail
usage="usage: pgcluster.sh start|stop|status BUILD [NAME]"
action=${1:?$usage}
build=$(cd "${2:?$usage}" && pwd)
dir=$build/${3:-pg}
data=$dir/data
sock=$dir/sock

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bindir" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo "pgcluster: no PostgreSQL server installed (Debian package postgresql)" >&2
    exit 1
fi

as_owner=()
if [ "$(id -u)" -eq 0 ]; then
    id postgres >/dev/null 2>&1 || useradd --system --home-dir /nonexistent --shell /usr/sbin/nologin postgres
    as_owner=(runuser -u postgres --)
fi
pgctl() { "${as_owner[@]}" "$bindir/pg_ctl" -D "$data" "$@"; }

running() { [ -f "$data/PG_VERSION" ] && pgctl status >/dev/null 2>&1; }

port_in_use() {
    local p=$1
    [ -S "/tmp/.s.PGSQL.$p" ] || [ -S "/var/run/postgresql/.s.PGSQL.$p" ] && return 0
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null && return 0
    return 1
}

case $action in
start)
    mkdir -p "$dir"
    if [ ! -f "$data/PG_VERSION" ]; then
        rm -rf "$data" "$sock"
        mkdir -p "$data" "$sock"
        [ ${#as_owner[@]} -gt 0 ] && chown -R postgres: "$dir"
        "${as_owner[@]}" "$bindir/initdb" -D "$data" -U dravelin -A trust -E UTF8 --locale=C.UTF-8 \
            >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    fi
    mkdir -p "$sock"
    [ ${#as_owner[@]} -gt 0 ] && chown -R postgres: "$dir"
    if [ ! -s "$dir/port" ]; then
        port=$((20000 + RANDOM % 30000))
        while port_in_use "$port"; do port=$((20000 + RANDOM % 30000)); done
        echo "$port" >"$dir/port"
    fi
    port=$(cat "$dir/port")
    if ! running; then
        if ! pgctl -w -t 60 -l "$dir/server.log" \
            -o "-k $sock -p $port -c listen_addresses='' -c max_connections=100" start >/dev/null; then
            echo "pgcluster: the server did not start; its log says:" >&2
            tail -n 20 "$dir/server.log" >&2 || true
            exit 1
        fi
    fi
    echo "host=$sock port=$port user=dravelin dbname=postgres" | tee "$dir/conninfo"
    ;;
stop)
    if running; then
        pgctl -w -t 60 -m fast stop >/dev/null
    fi
    ;;
status)
    running
    ;;
*)
    echo "pgcluster: unknown action $action" >&2
    exit 2
    ;;
esac
