#!/usr/bin/env bash
# Starts a throwaway PostgreSQL cluster for the tests: peer authentication on a private
# socket folder, no TCP. Prints the socket folder. Usage: test-postgres.sh start DIR | stop DIR
set -euo pipefail
action=$1
base=$2
PGBIN=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)

run_as_postgres() {
    if [[ $(id -un) == postgres ]]; then
        "$@"
    elif [[ $(id -u) -eq 0 ]]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case $action in
start)
    mkdir -p "$base"
    owner=$(id -un)
    if [[ $(id -u) -eq 0 ]]; then
        owner=postgres
        chown postgres "$base"
    fi
    cd /
    run_as_postgres "$PGBIN/initdb" -D "$base/data" -U "$owner" -E UTF8 --locale=C.UTF-8 \
        --auth-local=peer --auth-host=reject >"$base/initdb.log" 2>&1
    mkdir -p "$base/sock"
    [[ $(id -u) -eq 0 ]] && chown postgres "$base/sock"
    run_as_postgres "$PGBIN/pg_ctl" -D "$base/data" -l "$base/log" -w \
        -o "-c listen_addresses='' -c unix_socket_directories=$base/sock -c fsync=off" start >/dev/null
    me=$(id -un)
    if [[ $me != "$owner" ]]; then
        run_as_postgres "$PGBIN/psql" -h "$base/sock" -U "$owner" -d postgres -qc \
            "CREATE ROLE \"$me\" LOGIN SUPERUSER" >/dev/null
    fi
    echo "$base/sock"
    ;;
stop)
    cd /
    run_as_postgres "$PGBIN/pg_ctl" -D "$base/data" -m immediate stop >/dev/null 2>&1 || true
    ;;
esac
