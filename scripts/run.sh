# ./vlp run: build, start the app server on a local SQLite file with the demo catalogue (seeded on
# the first run only), write a host configuration pointing at it, and open the host on the screen.
# Only the three programs it runs, optimised: tests and benchmarks are ./vlp test's business.
vlp_build run
mkdir -p "$root/var"
server="$root/build/run/appserver/vlp-appserver"
host="$root/build/run/host/vlp-host"
# The server's default address is written once, in the header the server and the host read it from.
defaults="$root/src/wire/DefaultAddress.h"
address="$(sed -n 's/.*kDefaultHost = "\([^"]*\)";.*/\1/p' "$defaults")"
port="${VLP_PORT:-$(sed -n 's/.*kDefaultPort = \([0-9]*\);.*/\1/p' "$defaults")}"
[ -n "$address" ] && [ -n "$port" ] || { echo "vlp run: no default address in $defaults" >&2; exit 1; }

"$server" --db "sqlite:$root/var/vlp.sqlite" --listen "$address:$port" --seed-demo 2>>"$root/var/appserver.log" &
server_pid=$!
trap 'kill $server_pid 2>/dev/null; wait $server_pid 2>/dev/null' EXIT
for _ in $(seq 1 100); do
    (exec 3<>"/dev/tcp/$address/$port") 2>/dev/null && break
    kill -0 $server_pid 2>/dev/null || { echo "vlp run: the application server did not start; see var/appserver.log" >&2; exit 1; }
    sleep 0.2
done
echo "vlp run: application server on $address:$port (pid $server_pid, log var/appserver.log)"

cat > "$root/var/vlp-host.ini" <<INI
[Server]
WebURL=$address
WebPort=$port

[Masks]
DBPict0=9.99.999.9999;_
INI
echo "vlp run: opening the host with var/vlp-host.ini"
"$host" --config "$root/var/vlp-host.ini" --open VLP27000
