# ./vlp bench [FILTER]: every benchmark of the release build, each beside its anchor.
source "$root/scripts/pg.sh"
vlp_build release
vlp_pg_start
filter="${1:-}"
for b in build/release/bench/*/bench_*; do
    [ -x "$b" ] || continue
    case "$(basename "$b")" in *"$filter"*) ;; *) continue ;; esac
    echo "== $(basename "$b")"
    "$b" --benchmark_counters_tabular=true
done
