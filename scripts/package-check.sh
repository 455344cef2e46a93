# The packages of build/package/deb as an administrator meets them: lintian finds no error; unpacked
# into a scratch root, the server starts from its installed configuration alone (pointed at a
# scratch database), answers /health and seeds nothing, and the host loads its installed module
# (offscreen); systemd-analyze verifies the unit where systemd is there to ask.
(
    set -euo pipefail
    debs=("$root"/build/package/deb/*.deb)
    [ ${#debs[@]} -eq 2 ] || { echo "vlp test: expected two packages in build/package/deb" >&2; exit 1; }
    echo "-- lintian"
    lintian --fail-on error --allow-root --tag-display-limit 0 "${debs[@]}"

    scratch="$(mktemp -d)"
    server_pid=
    trap '[ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null; rm -rf "$scratch"' EXIT
    for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$scratch"; done
    for deb in "${debs[@]}"; do
        while read -r conffile; do
            [ -f "$scratch$conffile" ] || { echo "vlp test: conffile $conffile missing" >&2; exit 1; }
        done < <(dpkg-deb -I "$deb" conffiles)
    done

    echo "-- vlp-appserver --config (the installed file, its database moved to scratch)"
    config="$scratch/appserver.conf"
    sed "s|^db = sqlite:/var/lib/vlp/|db = sqlite:$scratch/|" "$scratch/etc/vlp/appserver.conf" > "$config"
    grep -q "^db = sqlite:$scratch/vlp.sqlite$" "$config"
    echo "listen = 127.0.0.1:0" >> "$config"
    "$scratch/usr/bin/vlp-appserver" --config "$config" 2>"$scratch/appserver.log" &
    server_pid=$!
    port=
    for _ in $(seq 1 100); do
        port="$(sed -n 's/.*escutando em 127\.0\.0\.1:\([0-9]*\) .*/\1/p' "$scratch/appserver.log")"
        [ -n "$port" ] && break
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$port" ] || { cat "$scratch/appserver.log" >&2; exit 1; }
    exec 3<>"/dev/tcp/127.0.0.1/$port"
    printf 'GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&3
    health="$(cat <&3)"
    exec 3<&-
    case "$health" in
        "HTTP/1.1 200"*'"status":"ok"'*) echo "$health" | tail -n 1 ;;
        *) echo "vlp test: /health answered: $health" >&2; exit 1 ;;
    esac
    kill "$server_pid"
    wait "$server_pid"
    server_pid=
    groups="$(sqlite3 "$scratch/vlp.sqlite" "SELECT COUNT(*) FROM GRUSUGESPROD")"
    [ "$groups" = 0 ] || { echo "vlp test: the installed server seeded $groups groups" >&2; exit 1; }

    echo "-- vlp-host --check (the installed host, configuration and module)"
    QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/vlp-host" --check \
        --config "$scratch/etc/vlp/vlp-host.ini" | tee "$scratch/host.log"
    grep -qE "carregado de $scratch/usr/lib/[a-z0-9_-]+/vlp/libvlp27000\.so$" "$scratch/host.log"
    desktop-file-validate "$scratch/usr/share/applications/vlp-host.desktop"

    if command -v systemd-analyze >/dev/null 2>&1; then
        echo "-- systemd-analyze verify vlp-appserver.service"
        # The unit as installed, but for the program's path, which must exist for the check.
        mkdir "$scratch/unit"
        sed "s|^ExecStart=/usr/bin/|ExecStart=$scratch/usr/bin/|" \
            "$scratch/lib/systemd/system/vlp-appserver.service" > "$scratch/unit/vlp-appserver.service"
        # --man=no: the unit's man page is in the scratch root, not where man looks.
        systemd-analyze verify --man=no "$scratch/unit/vlp-appserver.service"
    fi
)
