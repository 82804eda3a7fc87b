#!/bin/sh
# A private PostgreSQL cluster for the tests:
#   pgcluster.sh start DIR   initdb into DIR/data (once), start it listening only on a Unix
#                            socket in a fresh temporary folder (no TCP port), and write the
#                            server's URL to DIR/url
#   pgcluster.sh stop DIR    stop it and remove the socket folder
#   pgcluster.sh pause DIR   stop it, keeping the socket folder, so the next start serves the
#                            same URL (a server that goes away and comes back)
# The server refuses to run as root; as root the cluster belongs to the postgres user.
set -eu
action=$1
root=$2
bindir=${DIALVANE_PG_BINDIR:-}
if [ -z "$bindir" ]; then
    bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
fi
if [ ! -x "$bindir/pg_ctl" ]; then
    echo "pgcluster: no PostgreSQL server installed (package postgresql)" >&2
    exit 1
fi
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}
# The cluster lives in DIR/data; when the postgres user cannot reach the build tree (a checkout
# below /root), in a temporary folder named in DIR/datadir instead.
data=$root/data
if [ -f "$root/datadir" ]; then
    data=$(cat "$root/datadir")
fi
case $action in
start)
    mkdir -p "$root"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$root"
        if ! runuser -u postgres -- test -w "$root"; then
            if [ ! -d "$data" ] || [ "$data" = "$root/data" ]; then
                data=$(mktemp -d /tmp/kestrova-pgdata.XXXXXX)
                chown postgres: "$data"
                echo "$data" >"$root/datadir"
            fi
        fi
    fi
    if [ ! -f "$data/PG_VERSION" ]; then
        as_owner "$bindir/initdb" -D "$data" -U kestrova -A trust -E UTF8 --locale=C.UTF-8 \
            --no-sync >"$root/initdb.log" 2>&1 || { cat "$root/initdb.log" >&2; exit 1; }
    fi
    # A cluster left running by an interrupted run is stopped first.
    if [ -f "$data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$data" -m immediate stop >/dev/null 2>&1 || true
        rm -f "$data/postmaster.pid"
    fi
    if [ -f "$root/socket" ] && [ -d "$(cat "$root/socket")" ]; then
        socket=$(cat "$root/socket")
    else
        socket=$(mktemp -d /tmp/kestrova-pg.XXXXXX)
    fi
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$socket"
    fi
    chmod 755 "$socket"
    echo "$socket" >"$root/socket"
    as_owner "$bindir/pg_ctl" -D "$data" -w -t 60 -l "$data/server.log" \
        -o "-c listen_addresses='' -k $socket -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
        start >/dev/null || { cat "$data/server.log" >&2; exit 1; }
    echo "postgresql:///kestrova?host=$socket&user=kestrova" >"$root/url"
    as_owner "$bindir/psql" -h "$socket" -U kestrova -d postgres -qAt \
        -c "SELECT 1 FROM pg_database WHERE datname = 'kestrova'" | grep -q 1 ||
        as_owner "$bindir/createdb" -h "$socket" -U kestrova kestrova
    ;;
stop | pause)
    if [ -f "$data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$data" -w -m fast stop >/dev/null
    fi
    [ "$action" = pause ] && exit 0
    if [ -f "$root/datadir" ]; then
        rm -rf "$data" "$root/datadir"
    fi
    if [ -f "$root/socket" ]; then
        rm -rf "$(cat "$root/socket")"
        rm -f "$root/socket" "$root/url"
    fi
    ;;
*)
    echo "usage: pgcluster.sh start|stop|pause DIR" >&2
    exit 2
    ;;
esac
