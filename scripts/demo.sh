#!/usr/bin/env bash
# Plays live 29.97 drop-frame timecode into Quorvel with no MIDI hardware: a private JACK server
# with the dummy driver, the generator as the MIDI source "Quorvel demo MTC" playing from
# 00:00:52;00 to 00:01:07;00 again and again (the drop-frame minute comes 8 s into each pass),
# and Quorvel, with that source in its menu. Everything started here stops when the window
# closes, or on Ctrl-C.
#   demo.sh                    on a desktop: pick "Quorvel demo MTC" in the MIDI source menu
#   demo.sh --screenshot FILE  no display needed: the window runs under Xvfb listening to the
#                              demo source, and a PNG of it is saved to FILE
#   QUORVEL_APP, QUORVEL_MTC_SEND   the two programs (default: beside this script, else PATH)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

shot=""
case "${1:-}" in
"") ;;
--screenshot)
    [[ $# -eq 2 ]] || { echo "usage: $0 [--screenshot FILE]" >&2; exit 2; }
    shot=$2
    ;;
*)
    echo "usage: $0 [--screenshot FILE]" >&2
    exit 2
    ;;
esac

program() {
    local name=$1
    if [[ -x "$here/$name" ]]; then
        echo "$here/$name"
    else
        command -v "$name" || { echo "demo: $name is not installed" >&2; exit 1; }
    fi
}
app=${QUORVEL_APP:-$(program quorvel)}
send=${QUORVEL_MTC_SEND:-$(program quorvel-mtc-send)}
command -v jackd >/dev/null || { echo "demo: jackd is not installed (package jackd2)" >&2; exit 1; }
if [[ -n $shot && ! -x "$here/screenshot.sh" ]]; then
    echo "demo: --screenshot works from a Quorvel source tree only" >&2
    exit 1
fi
if [[ -z $shot && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "demo: no display; run with --screenshot FILE to see the window in a picture" >&2
    exit 1
fi

server=quorvel-demo-$$
source_name="Quorvel demo MTC"
work=$(mktemp -d)
jackd_pid=""
send_pid=""
cleanup() {
    set +e # a killed child's status must not cut the clean-up short
    for pid in $send_pid $jackd_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls a command up to 10 s.
wait_for() {
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
server_runs() { JACK_DEFAULT_SERVER=$server jack_wait -c 2>/dev/null | grep -qx running; }

export JACK_NO_START_SERVER=1
jackd -n "$server" -d dummy -p 256 </dev/null >"$work/jackd.log" 2>&1 &
jackd_pid=$!
wait_for server_runs || { echo "demo: the JACK server did not start:" >&2; cat "$work/jackd.log" >&2; exit 1; }
export JACK_DEFAULT_SERVER=$server

"$send" --client "$source_name" --rate 29.97 --from 00:00:52:00 --seconds 15 --loop \
    --full-frame >"$work/send.log" 2>&1 &
send_pid=$!
wait_for grep -q "^Playing on" "$work/send.log" || {
    echo "demo: the generator did not start:" >&2
    cat "$work/send.log" >&2
    exit 1
}
echo "Demo source: $(sed -n 's/^Playing on //p' "$work/send.log")"

if [[ -n $shot ]]; then
    # Listening from the start, so the picture shows the timecode running.
    QUORVEL_APP=$app QUORVEL_SETTLE=2 "$here/screenshot.sh" "$shot" --source "$source_name"
else
    echo "Pick \"$source_name\" in Quorvel's MIDI source menu."
    "$app"
fi
