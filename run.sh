#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvel. Without a display (no DISPLAY or
# WAYLAND_DISPLAY) it runs the window under Xvfb and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "${QUORVEL_BUILD_DIR:-build}/app/quorvel" "$@"
fi
echo "No display: starting Quorvel under Xvfb to take a screenshot of its window."
shot=$(scripts/screenshot.sh "${QUORVEL_BUILD_DIR:-build}/quorvel-window.png")
echo "Screenshot saved: $(pwd)/$shot"
