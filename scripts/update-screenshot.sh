#!/usr/bin/env bash
# Retakes docs/screenshot.png, the README's picture, from today's demo: the built window under
# Xvfb, listening to live 29.97 drop-frame timecode. Never edit the picture by hand.
#   QUORVEL_BUILD_DIR   build folder (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUORVEL_BUILD_DIR:-build}
scripts/build.sh >/dev/null
QUORVEL_APP=$build/app/quorvel QUORVEL_MTC_SEND=$build/tools/quorvel-mtc-send \
    scripts/demo.sh --screenshot docs/screenshot.png
