#!/usr/bin/env bash
# The demo without a display: it saves a picture of the window and leaves no process behind.
#   demo-test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
shot=$(mktemp --suffix=.png)
trap 'rm -f "$shot"' EXIT
unset DISPLAY WAYLAND_DISPLAY
QUORVEL_APP=$build/app/quorvel QUORVEL_MTC_SEND=$build/tools/quorvel-mtc-send \
    "$src/scripts/demo.sh" --screenshot "$shot"
[[ -s $shot ]] || { echo "no screenshot"; exit 1; }
left=$(pgrep -af "jackd -n quorvel-demo-|quorvel-mtc-send --client Quorvel demo MTC" || true)
[[ -z $left ]] || { echo "left running: $left"; exit 1; }
