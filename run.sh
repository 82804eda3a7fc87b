#!/usr/bin/env bash
# ./run.sh [numseek|dialseek|kestrova|pennote|inkleaf] — builds if needed and starts a program
# with what it needs.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

program=${1:-numseek}
case "$program" in
    numseek | dialseek | kestrova | pennote | inkleaf) ;;
    *)
        echo "usage: $0 [numseek|dialseek|kestrova|pennote|inkleaf]" >&2
        exit 2
        ;;
esac

dialvane_install_packages
dialvane_build
bin=$DIALVANE_BUILD/bin
dialvane_browser_env

pids=()
cleanup() { [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null || true; }
trap cleanup EXIT

start_site() {
    local fifo line
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    "$bin/dirsite" --port "${DIRSITE_PORT:-0}" >"$fifo" &
    pids+=($!)
    read -r line <"$fifo"
    # Keep draining the site's output so it never blocks on a full pipe.
    cat "$fifo" >/dev/null &
    pids+=($!)
    rm -f "$fifo"
    export DIALVANE_SITE=$line
    echo "Demo directory site: $DIALVANE_SITE"
}

case "$program" in
    numseek | dialseek)
        start_site
        if [ "$program" = dialseek ]; then
            data=${XDG_DATA_HOME:-$HOME/.local/share}
            "$bin/dirsite" --write-banner "$data/dialvane/drive_c/windows/system32/login.html"
        fi
        ;;
    kestrova)
        # A demo database of a few hundred clients and plans, made once; the delivered password
        # file (580417) is placed by the build. Kestrova reads it from its working folder.
        if [ ! -f "$bin/.kestrova-demo" ]; then
            rm -f "$bin/khdata.mdb"
            "$bin/kestrova-db" demo "$bin/khdata.mdb" 300 120
            touch "$bin/.kestrova-demo"
        fi
        cd "$bin"
        program=Kestrova
        ;;
esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running $program on a virtual screen (xvfb-run)."
    xvfb-run -a -s "-noreset -screen 0 1024x768x24" "$bin/$program"
else
    "$bin/$program"
fi
