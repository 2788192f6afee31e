#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvel. Without a display (no DISPLAY or
# WAYLAND_DISPLAY) it runs the window under Xvfb and saves a screenshot instead.
#   ./run.sh --demo   the same with live timecode from a demo source (scripts/demo.sh)
#   other arguments go to quorvel
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
build=${QUORVEL_BUILD_DIR:-build}
if [[ "${1:-}" == --demo ]]; then
    export QUORVEL_APP=$build/app/quorvel QUORVEL_MTC_SEND=$build/tools/quorvel-mtc-send
    if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
        exec scripts/demo.sh
    fi
    echo "No display: running the demo under Xvfb to take a screenshot of its window."
    shot=$(scripts/demo.sh --screenshot "$build/quorvel-demo.png" | tail -n 1)
    echo "Screenshot saved: $(pwd)/$shot"
    exit 0
fi
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "${QUORVEL_BUILD_DIR:-build}/app/quorvel" "$@"
fi
echo "No display: starting Quorvel under Xvfb to take a screenshot of its window."
shot=$(scripts/screenshot.sh "${QUORVEL_BUILD_DIR:-build}/quorvel-window.png")
echo "Screenshot saved: $(pwd)/$shot"
