#!/usr/bin/env bash
# Installs the build into a temporary prefix, validates the menu entries, and starts every
# installed program on a virtual screen, checking that its main window appears.
# Usage: installed_programs.sh BUILD_DIR   (runs itself under xvfb-run when there is no display)
set -euo pipefail
build=$(cd "$1" && pwd)

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$0" "$@"
fi

prefix=$(mktemp -d)
pids=()
cleanup() {
    if [ ${#pids[@]} -gt 0 ]; then kill "${pids[@]}" 2>/dev/null || true; fi
    rm -rf "$prefix"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
export HOME=$prefix/home XDG_DATA_HOME=$prefix/home/data XDG_CONFIG_HOME=$prefix/home/config
mkdir -p "$HOME"
cd "$HOME"
unset QT_QPA_PLATFORM

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

entries=("$prefix"/share/applications/*.desktop)
for entry in "${entries[@]}"; do
    [ -e "$entry" ] || { fail "no menu entries installed"; break; }
    if out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ]; then
        echo "ok: $(basename "$entry") validates"
    else
        fail "$(basename "$entry"): $out"
    fi
    exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$prefix/bin/$exe" ] || fail "$(basename "$entry") runs $exe, which is not installed"
done

# Program, then the caption of the first window it shows.
programs=(
    "numseek|Numvane"
    "dialseek|Dialvane"
    "inkleaf|打印"
    "pennote|Dialvane保存文本编辑器"
    "Kestrova|Kestrova"
)
for row in "${programs[@]}"; do
    program=${row%%|*}
    caption=${row#*|}
    if [ ! -e "$prefix/bin/$program" ]; then
        fail "$program is not installed"
        continue
    fi
    "$prefix/bin/$program" >"$prefix/$program.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    shown=no
    for _ in $(seq 1 60); do
        if xwininfo -root -tree 2>/dev/null | grep -qF "\"$caption\""; then
            shown=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if [ "$shown" = yes ]; then
        echo "ok: $program shows \"$caption\""
    else
        fail "$program did not show \"$caption\""
        tail -5 "$prefix/$program.log"
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done

passed=$(( ${#entries[@]} + ${#programs[@]} - failures ))
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
