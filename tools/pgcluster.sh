#!/usr/bin/env bash
# A private PostgreSQL cluster for the tests, named by BUILD/pg (or BUILD/NAME): start, stop,
# status or remove.
#   tools/pgcluster.sh start BUILD [NAME]   prints the connection string (also kept in
#                                           BUILD/NAME/conninfo)
#   tools/pgcluster.sh stop BUILD [NAME]    stops the server; its data stay for the next start
#   tools/pgcluster.sh remove BUILD [NAME]  stops the server and deletes its data
# The server runs as an unprivileged user: the caller, or the postgres system user when run as
# root. That user may not be able to enter the build folder (a checkout in root's home, mode
# 0700), so the data and the Unix socket live in a folder of their own under /tmp, which
# BUILD/NAME/cluster names. The server listens only on that socket, on a port no other server
# uses.
set -euo pipefail
usage="usage: pgcluster.sh start|stop|status|remove BUILD [NAME]"
action=${1:?$usage}
build=$(cd "${2:?$usage}" && pwd)
dir=$build/${3:-pg}
# The server's user may not be allowed to stand in the caller's working folder either.
cd /

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

# The cluster's own folder, when an earlier start made one that is still there.
home=
if [ -s "$dir/cluster" ]; then
    home=$(cat "$dir/cluster")
    case $home in
    /tmp/dravelin-pg.*) [ -d "$home" ] || home= ;;
    *) home= ;;
    esac
elif [ -f "$dir/data/PG_VERSION" ]; then
    # A cluster made before the data moved out of the build folder: stop and remove reach it.
    home=$dir
fi
data=${home:+$home/data}
sock=${home:+$home/sock}

# The server outlives this script, so it must not keep the caller's files open: a lock the
# caller holds (such as a build lock taken with flock) would stay held while the server runs.
pgctl() (
    for fd in /proc/$BASHPID/fd/*; do
        fd=${fd##*/}
        [ "$fd" -gt 2 ] && eval "exec $fd>&-"
    done
    exec "${as_owner[@]}" "$bindir/pg_ctl" -D "$data" "$@"
)

running() { [ -n "$home" ] && [ -f "$data/PG_VERSION" ] && pgctl status >/dev/null 2>&1; }

port_in_use() {
    local p=$1
    [ -S "/tmp/.s.PGSQL.$p" ] || [ -S "/var/run/postgresql/.s.PGSQL.$p" ] && return 0
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null && return 0
    return 1
}

case $action in
start)
    mkdir -p "$dir"
    if [ -z "$home" ] || [ ! -f "$data/PG_VERSION" ]; then
        if [ -n "$home" ] && [ "$home" != "$dir" ]; then rm -rf "$home"; fi
        home=$(mktemp -d /tmp/dravelin-pg.XXXXXX)
        data=$home/data
        sock=$home/sock
        mkdir -p "$data" "$sock"
        chmod 0755 "$home"
        [ ${#as_owner[@]} -gt 0 ] && chown -R postgres: "$home"
        echo "$home" >"$dir/cluster"
        "${as_owner[@]}" "$bindir/initdb" -D "$data" -U dravelin -A trust -E UTF8 --locale=C.UTF-8 \
            >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    fi
    if [ ! -s "$dir/port" ]; then
        port=$((20000 + RANDOM % 30000))
        while port_in_use "$port"; do port=$((20000 + RANDOM % 30000)); done
        echo "$port" >"$dir/port"
    fi
    port=$(cat "$dir/port")
    if ! running; then
        if ! pgctl -w -t 60 -l "$home/server.log" \
            -o "-k $sock -p $port -c listen_addresses='' -c max_connections=100" start >/dev/null; then
            echo "pgcluster: the server did not start; its log says:" >&2
            tail -n 20 "$home/server.log" >&2 || true
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
remove)
    if running; then
        pgctl -w -t 60 -m fast stop >/dev/null
    fi
    if [ -n "$home" ]; then
        rm -rf "$data" "$sock"
        if [ "$home" != "$dir" ]; then rm -rf "$home"; fi
    fi
    rm -f "$dir/cluster" "$dir/conninfo"
    ;;
status)
    running
    ;;
*)
    echo "pgcluster: unknown action $action" >&2
    exit 2
    ;;
esac
