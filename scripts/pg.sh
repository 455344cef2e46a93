# A private PostgreSQL cluster for tests and benchmarks: started as the postgres user
# (initdb refuses root) in a temporary folder, on a private port, trusted on loopback only.

VLP_PG_PORT="${VLP_PG_PORT:-54329}"

vlp_pg_bin() { ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1; }

vlp_pg_start() {
    local bin; bin="$(vlp_pg_bin)"
    [ -n "$bin" ] || { echo "vlp: PostgreSQL server binaries not found" >&2; return 1; }
    VLP_PG_DIR="$(mktemp -d /tmp/vlp-pg.XXXXXX)"
    local as=()
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres:postgres "$VLP_PG_DIR"
        as=(runuser -u postgres --)
    fi
    "${as[@]}" "$bin/initdb" -D "$VLP_PG_DIR/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >/dev/null
    "${as[@]}" "$bin/pg_ctl" -D "$VLP_PG_DIR/data" -l "$VLP_PG_DIR/log" -w \
        -o "-p $VLP_PG_PORT -k $VLP_PG_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" start >/dev/null
    "${as[@]}" "$bin/createdb" -h 127.0.0.1 -p "$VLP_PG_PORT" -U postgres vlp
    export VLP_TEST_PG="postgresql://postgres@127.0.0.1:$VLP_PG_PORT/vlp"
    trap vlp_pg_stop EXIT
}

vlp_pg_stop() {
    [ -n "${VLP_PG_DIR:-}" ] || return 0
    local bin; bin="$(vlp_pg_bin)"
    local as=()
    [ "$(id -u)" -eq 0 ] && as=(runuser -u postgres --)
    "${as[@]}" "$bin/pg_ctl" -D "$VLP_PG_DIR/data" -m fast stop >/dev/null 2>&1 || true
    rm -rf "$VLP_PG_DIR"
    VLP_PG_DIR=""
}
