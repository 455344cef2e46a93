# ./vlp bench [FILTER]: every benchmark program of the release build, each beside its anchor
# (bench_appserver drives the load benchmarks of bench/appserver/run.sh).
source "$root/scripts/pg.sh"
vlp_build release
vlp_pg_start
filter="${1:-}"
export QT_QPA_PLATFORM=offscreen
for b in build/release/bench/*/*bench*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    case "$(basename "$b")" in *"$filter"*) ;; *) continue ;; esac
    echo "== $(basename "$b")"
    "$b" --benchmark_counters_tabular=true
done
