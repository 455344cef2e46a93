# ./vlp run: build, start the app server on a local SQLite file with the demo catalogue, open the host.
vlp_build dev
mkdir -p "$root/var"
server="$root/build/dev/appserver/vlp-appserver"
host="$root/build/dev/host/vlp-host"
port="${VLP_PORT:-8427}"
if [ ! -x "$server" ]; then
    echo "vlp run: built what exists so far; the application server is not built yet."
    exit 0
fi
"$server" --db "sqlite:$root/var/vlp.sqlite" --listen "127.0.0.1:$port" --seed-demo 2>>"$root/var/appserver.log" &
server_pid=$!
trap 'kill $server_pid 2>/dev/null; wait $server_pid 2>/dev/null' EXIT
echo "vlp run: application server on 127.0.0.1:$port (pid $server_pid, log var/appserver.log)"
if [ ! -x "$host" ]; then
    echo "vlp run: the host client is not built yet; press Ctrl+C to stop the server."
    wait $server_pid
    exit 0
fi
cat > "$root/var/vlp-host.ini" <<INI
[Server]
WebURL=127.0.0.1
WebPort=$port

[Masks]
DBPict0=9.99.999.9999
INI
"$host" --config "$root/var/vlp-host.ini" --open VLP27000
