#!/usr/bin/env bash
# tools/pgcluster.sh with the build folder below a folder of mode 0700, as a checkout in root's
# home: the server's user cannot enter it, yet the cluster starts, keeps its data over a stop and
# a start, runs beside a second cluster of the same build, and leaves nothing behind on remove.
set -euo pipefail
pgcluster=${1:?usage: pgcluster_test.sh PGCLUSTER_SH}
top=$(mktemp -d)
build=$top/home/checkout/build
mkdir -p "$build"
chmod 0700 "$top/home"
cleanup() {
    "$pgcluster" remove "$build" >/dev/null 2>&1 || true
    "$pgcluster" remove "$build" second >/dev/null 2>&1 || true
    rm -rf "$top"
}
trap cleanup EXIT
fail() {
    echo "pgcluster_test: $*" >&2
    exit 1
}
sql() { psql "$1" -X -q -A -t -v ON_ERROR_STOP=1 -c "$2"; }

# Started from inside the closed folder, as a developer's shell stands there.
conninfo=$(cd "$build" && "$pgcluster" start "$build") || fail "start failed"
[ "$(cat "$build/pg/conninfo")" = "$conninfo" ] || fail "conninfo file differs from the output"
sql "$conninfo" "create table kept(v text); insert into kept values ('ano')"
"$pgcluster" status "$build" || fail "status says the started server is not running"

# Started while the caller holds a lock, as a build lock is held: the server must not inherit it.
second=$(flock "$top/lock" "$pgcluster" start "$build" second) ||
    fail "the second cluster did not start"
flock -n "$top/lock" true || fail "the server keeps a lock of its caller held"
[ "$second" != "$conninfo" ] || fail "the second cluster shares the first one's socket"
[ "$(sql "$second" "select count(*) from pg_tables where tablename = 'kept'")" = 0 ] ||
    fail "the second cluster sees the first one's table"

"$pgcluster" stop "$build"
if "$pgcluster" status "$build"; then fail "status says a stopped server runs"; fi
if sql "$conninfo" "select 1" 2>/dev/null; then fail "a stopped server answered"; fi
[ "$(sql "$second" "select 1")" = 1 ] || fail "stopping the first cluster stopped the second"

[ "$("$pgcluster" start "$build")" = "$conninfo" ] || fail "a restart moved the server"
[ "$(sql "$conninfo" "select v from kept")" = ano ] || fail "the data did not survive a restart"

home=$(cat "$build/pg/cluster")
"$pgcluster" remove "$build"
"$pgcluster" remove "$build" second
[ ! -e "$home" ] || fail "remove left the cluster's folder $home"
if "$pgcluster" status "$build"; then fail "status says a removed server runs"; fi
echo "pgcluster_test: ok"
