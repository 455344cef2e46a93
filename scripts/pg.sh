# A private PostgreSQL cluster for tests and benchmarks: started as the postgres user
# (initdb refuses root) in a temporary folder, trusted on loopback only. It listens on
# VLP_PG_PORT when that is set, else on a free port, so that runs side by side, or the leftover
# of a crashed one, never collide. VLP_TEST_PG names its database once started.

vlp_pg_bin() { ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1; }

# A loopback port nothing listens on, outside the kernel's range for outgoing connections.
vlp_pg_free_port() {
    local port i
    for i in $(seq 1 50); do
        port=$((20000 + RANDOM % 12000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return 0; }
    done
    echo "vlp: no free port found for PostgreSQL" >&2
    return 1
}

vlp_pg_start() {
    local bin; bin="$(vlp_pg_bin)"
    [ -n "$bin" ] || { echo "vlp: PostgreSQL server binaries not found" >&2; return 1; }
    VLP_PG_DIR="$(mktemp -d /tmp/vlp-pg.XXXXXX)"
    trap vlp_pg_stop EXIT
    local as=()
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres:postgres "$VLP_PG_DIR"
        as=(runuser -u postgres --)
    fi
    "${as[@]}" "$bin/initdb" -D "$VLP_PG_DIR/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >/dev/null
    # Another process may take a free port between the probe and the start: try a few.
    local port="" attempt
    for attempt in 1 2 3 4 5; do
        port="${VLP_PG_PORT:-$(vlp_pg_free_port)}" || return 1
        "${as[@]}" "$bin/pg_ctl" -D "$VLP_PG_DIR/data" -l "$VLP_PG_DIR/log" -w \
            -o "-p $port -k $VLP_PG_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" \
            start >/dev/null 2>&1 && break
        port=""
        [ -n "${VLP_PG_PORT:-}" ] && break
    done
    if [ -z "$port" ]; then
        echo "vlp: PostgreSQL did not start (VLP_PG_PORT=${VLP_PG_PORT:-free}); its log:" >&2
        tail -n 5 "$VLP_PG_DIR/log" >&2
        return 1
    fi
    "${as[@]}" "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres vlp
    export VLP_TEST_PG="postgresql://postgres@127.0.0.1:$port/vlp"
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
