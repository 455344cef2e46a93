# Shared by ./vlp sub-commands: package installation and builds.

# base: what every build preset needs; dev: what its tests and benchmarks add (the run preset,
# which builds only the programs, does without); package: what builds and checks the Debian
# packages.
declare -A VLP_PACKAGES=(
    [base]="cmake ninja-build g++ libboost-dev rapidjson-dev libsqlite3-dev libpq-dev sqlite3 pkg-config libsodium-dev libssl-dev"
    [dev]="libgtest-dev libgmock-dev libbenchmark-dev"
    [gui]="qt6-base-dev qt6-translations-l10n libgl-dev xvfb xauth"
    [test]="clang libclang-rt-14-dev postgresql"
    [bench]="libbenchmark-dev nginx-light wrk curl postgresql postgresql-contrib"
    [package]="dpkg-dev file lintian desktop-file-utils"
)

# Installs whatever is missing; silent when everything is present.
vlp_install() {
    local wanted=() missing=() p
    for group in "$@"; do wanted+=(${VLP_PACKAGES[$group]}); done
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "vlp: missing Debian packages, and sudo is not installed to add them. As root, run:" >&2
            echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
            return 1
        fi
        as_root=(sudo)
    fi
    echo "vlp: installing ${missing[*]}" >&2
    "${as_root[@]}" apt-get update -qq >&2
    # Through env: sudo drops the caller's environment, DEBIAN_FRONTEND included.
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# vlp_build PRESET [TARGET...]: configure once, then build.
vlp_build() {
    local preset="$1"; shift
    if [ ! -f "build/$preset/build.ninja" ]; then
        cmake --preset "$preset" >/dev/null
    fi
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build --preset "$preset" "${targets[@]}"
}
