#!/usr/bin/env bash
# Time from process start to the Quorvel window being exposed, and resident memory after
# start, over several runs (goals: 300 ms, 80 MB). Uses the display if there is one, else a
# private Xvfb server.
#   bench/startup.sh [runs]          default 10
#   QUORVEL_BUILD_DIR                build folder (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
probe=${QUORVEL_BUILD_DIR:-build}/bench/quorvel_startup_probe
[[ -x "$probe" ]] || { echo "startup: $probe is not built" >&2; exit 1; }

xvfb_pid=""
trap '[[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null; true' EXIT
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    # Xvfb picks a free display and writes its number once it accepts connections.
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s $display_file ]] && break; sleep 0.1; done
    export DISPLAY=":$(<"$display_file")" QT_QPA_PLATFORM=xcb
    rm -f "$display_file"
fi

times=()
rss=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    line=$(timeout 30 "$probe" 2>/dev/null)
    shown=${line#shown_ns=}
    shown=${shown%% *}
    times+=($(((shown - start) / 1000000)))
    rss+=($((${line##*rss_kb=} / 1024)))
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
max() { printf '%s\n' "$@" | sort -n | tail -1; }
echo "runs: $runs on $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "start to window shown: median $(median "${times[@]}") ms, max $(max "${times[@]}") ms (goal 300 ms)"
echo "resident memory after start: median $(median "${rss[@]}") MB, max $(max "${rss[@]}") MB (goal 80 MB)"
