# Shared by test.sh, run.sh and bench/run.sh: the packages the project needs and the build step.
# Sourced, not run.

DIALVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DIALVANE_BUILD=${DIALVANE_BUILD:-$DIALVANE_ROOT/build}

# Build tools, Qt 6 with the browser engine, the SQLite and PostgreSQL drivers (with the
# sqlite3 and libpq headers of the fast read paths), the PostgreSQL server the tests start,
# the HTTP library of the demo site, Chinese fonts, and a virtual display for running the
# windows without a screen.
DIALVANE_PACKAGES=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-webengine-dev
    libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev libpq-dev postgresql
    libgl-dev libx11-dev libcpp-httplib-dev mdbtools-dev
    fonts-arphic-uming fonts-wqy-microhei
    xvfb xauth
    poppler-utils libreoffice-calc-nogui libreoffice-writer-nogui python3-icalendar python3-vobject
    x11-utils desktop-file-utils dpkg-dev
)

dialvane_install_packages() {
    local missing=() pkg
    for pkg in "${DIALVANE_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

dialvane_build() {
    if [ ! -f "$DIALVANE_BUILD/CMakeCache.txt" ]; then
        cmake -S "$DIALVANE_ROOT" -B "$DIALVANE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$DIALVANE_BUILD" -j2 "$@"
}

# Chromium refuses to run as root with its sandbox on; a normal user keeps the sandbox.
dialvane_browser_env() {
    if [ "$(id -u)" -eq 0 ]; then
        export QTWEBENGINE_DISABLE_SANDBOX=1
        export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --no-sandbox"
    fi
}
