# ./vlp test: every test of the dev build, the unit tests under ASan/UBSan, a short fuzzing run, and
# the Debian packages built, checked with lintian and run from a scratch root.
# ./vlp test --long: only the screen's random walk, many seeds and steps, on the dev build.
source "$root/scripts/pg.sh"
jobs="$(nproc)"

if [ "${1:-}" = "--long" ]; then
    export VLP_WALK_SEEDS="${VLP_WALK_SEEDS:-50}" VLP_WALK_STEPS="${VLP_WALK_STEPS:-3000}"
    echo "== build (dev)"
    vlp_build dev screen_e2e_tests vlp-appserver
    vlp_pg_start
    echo "== random walk: $VLP_WALK_SEEDS seeds of $VLP_WALK_STEPS steps, over SQLite and PostgreSQL"
    QT_QPA_PLATFORM=offscreen build/dev/tests/Cli_vlp27000/screen_e2e_tests \
        --gtest_filter='*RandomWalk*'
    echo "vlp test --long: all passed"
    return 0
fi
fuzz_seconds="${VLP_FUZZ_SECONDS:-20}"

echo "== build (dev)"
vlp_build dev
echo "== build (asan)"
vlp_build asan
echo "== build (fuzz)"
vlp_build fuzz

vlp_pg_start

echo "== tests (dev)"
ctest --preset dev -j "$jobs"
echo "== tests (asan)"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --preset asan -j "$jobs" -LE slow

echo "== fuzz (${fuzz_seconds}s each)"
for f in build/fuzz/fuzz/*/fuzz_*; do
    [ -x "$f" ] || continue
    corpus="$(mktemp -d)"
    seeds="$root/fuzz/$(basename "$(dirname "$f")")/seeds"
    echo "-- $(basename "$f")"
    "$f" -max_total_time="$fuzz_seconds" -max_len=65536 -print_final_stats=0 "$corpus" \
        $( [ -d "$seeds" ] && echo "$seeds" ) 2>"$corpus.log" || { tail -n 60 "$corpus.log"; exit 1; }
    rm -rf "$corpus" "$corpus.log"
done

echo "== packages (release build of the programs alone, build/package)"
source "$root/scripts/package.sh"
source "$root/scripts/package-check.sh"
echo "vlp test: all passed"
