#!/usr/bin/env bash
# Runs the built Quorvel under a private Xvfb server and saves a PNG of its window.
#   scripts/screenshot.sh [output.png [quorvel options...]]     default: docs/screenshot.png
#   QUORVEL_BUILD_DIR   build folder holding app/quorvel (default: build)
#   QUORVEL_APP         the program itself, instead of the build folder's
#   QUORVEL_SETTLE      seconds between the window showing and the picture (default 0.5)
#   QT_SCALE_FACTOR     passed on, e.g. 1.5 to see the window at 150 %
# Bounded: gives up after about 20 s and leaves no process behind.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
shift || true
app=${QUORVEL_APP:-${QUORVEL_BUILD_DIR:-build}/app/quorvel}
[[ -x "$app" ]] || { echo "screenshot: $app is not built (run scripts/build.sh)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    set +e # a killed child's status must not cut the clean-up short
    for pid in $app_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a command up to 10 s.
wait_for() {
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Xvfb picks a free display and writes its number once it accepts connections: its socket
# file appears earlier, at bind, and a client that connects before listen is refused.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for test -s "$work/display" || { cat "$work/xvfb.log" >&2; exit 1; }
display=$(<"$work/display")

# The MIDI system's complaints about a missing ALSA sequencer or JACK server go to the log.
# Settings and tape of its own: the picture shows a first start, and the user's stay untouched.
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" DISPLAY=":$display" QT_QPA_PLATFORM=xcb timeout 30 "$app" "$@" \
    >"$work/quorvel.log" 2>&1 &
app_pid=$!
if ! wait_for xwd -display ":$display" -silent -name Quorvel -out "$work/window.xwd"; then
    echo "screenshot: the Quorvel window did not appear; its log, then Xvfb's:" >&2
    cat "$work/quorvel.log" "$work/xvfb.log" >&2
    exit 1
fi
sleep "${QUORVEL_SETTLE:-0.5}" # let the first paint settle, then take the picture for real
xwd -display ":$display" -silent -name Quorvel -out "$work/window.xwd"
mkdir -p "$(dirname "$out")"
xwdtopnm "$work/window.xwd" 2>/dev/null | pnmtopng >"$out"
echo "$out"
