#!/usr/bin/env bash
# Builds and runs every benchmark; each prints "name: ours | reference: theirs | ratio".
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
dialvane_install_packages
dialvane_build
dialvane_browser_env
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:-} --disable-gpu"
export DIALVANE_DIRSITE=$DIALVANE_BUILD/bin/dirsite
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config
for bench in "$DIALVANE_BUILD"/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench"
done
