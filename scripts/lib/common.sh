# Shared by scripts/run, scripts/test and scripts/bench: installs what is
# missing on a Debian 12 machine, and configures and builds one build tree.

VUZO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Packages to build, run and test the program.
VUZO_BUILD_PACKAGES=(cmake ninja-build ccache g++ pkg-config qt6-base-dev qt6-base-dev-tools libcups2-dev)
VUZO_RUN_PACKAGES=(fonts-ipafont fonts-dejavu-core qt6-translations-l10n cups cups-client cups-bsd skkdic-extra
    libqt6sql6-sqlite libqt6sql6-psql)
VUZO_TEST_PACKAGES=(printer-driver-cups-pdf poppler-utils mupdf-tools xvfb xauth clang-format
    desktop-file-utils appstream librsvg2-bin postgresql-15)
# Packages to make the Debian package (dpkg-shlibdeps finds the libraries'
# packages for its Depends).
VUZO_PACKAGE_PACKAGES=(dpkg-dev)

vuzo_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "管理者権限がないため、不足しているパッケージを導入できません: $*" >&2
        return 1
    fi
}

# vuzo_ensure_packages pkg... : installs only those not yet installed.
vuzo_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "==> installing: ${missing[*]}"
        vuzo_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        vuzo_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    fi
}

# vuzo_build <dir> [cmake options...] : configures once, then builds.
vuzo_build() {
    local dir="$1"
    shift
    export CCACHE_DIR="${CCACHE_DIR:-$VUZO_ROOT/.cache/ccache}"
    export CCACHE_BASEDIR="$VUZO_ROOT"
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$VUZO_ROOT" -B "$dir" -G Ninja "$@"
    else
        cmake "$dir" "$@" >/dev/null
    fi
    cmake --build "$dir" -j "$(nproc)"
}

# The C++ sources the formatter owns: everything under src/ and tests/ except
# the deliberately broken tree of the folder-rule test.
vuzo_format_sources() {
    (cd "$VUZO_ROOT" && find src tests \( -name '*.cpp' -o -name '*.h' \) -not -path 'tests/layering/broken/*' | sort)
}
