#!/usr/bin/env bash
# Plays live timecode into Quorvel with no MIDI or audio hardware: a private JACK server
# "quorvel-demo" with the dummy driver; the MTC generator as the MIDI source "Quorvel demo MTC",
# 29.97 drop-frame from 00:00:52;00 to 00:01:07;00 again and again (the drop-frame minute comes
# 8 s into each pass); the LTC generator as the audio source "Quorvel demo LTC", 25 fps from
# 00:59:50:00 to 01:00:05:00 again and again; and Quorvel, with both sources in its menu. Everything started here stops when the
# window closes, or on Ctrl-C. One demo runs at a time.
#   demo.sh                    on a desktop: pick "Quorvel demo MTC:MTC out" in the source menu
#   demo.sh --screenshot FILE  no display needed: the window runs under Xvfb listening to the
#                              demo source, and a PNG of it is saved to FILE (source tree only)
#   QUORVEL_APP, QUORVEL_MTC_SEND, QUORVEL_LTC_SEND   the programs (default: beside this script,
#                   else PATH; the LTC generator also beside the MTC one)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
self=$(basename "$0")

# Installed as quorvel-demo, without screenshot.sh: only a desktop session shows the demo.
can_shoot=false
[[ -x "$here/screenshot.sh" ]] && can_shoot=true
usage() {
    if $can_shoot; then
        echo "usage: $self [--screenshot FILE]" >&2
    else
        echo "usage: $self" >&2
    fi
    exit 2
}

shot=""
case "${1:-}" in
"") [[ $# -eq 0 ]] || usage ;;
--screenshot)
    $can_shoot || usage
    [[ $# -eq 2 ]] || usage
    shot=$2
    ;;
*) usage ;;
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
if [[ -z ${QUORVEL_LTC_SEND:-} && -x "$(dirname "$send")/quorvel-ltc-send" ]]; then
    QUORVEL_LTC_SEND=$(dirname "$send")/quorvel-ltc-send
fi
ltc_send=${QUORVEL_LTC_SEND:-$(program quorvel-ltc-send)}
if [[ -z $shot && -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    if $can_shoot; then
        echo "demo: no display; run with --screenshot FILE to see the window in a picture" >&2
    else
        echo "demo: Quorvel needs a display: run $self in a desktop session" >&2
    fi
    exit 1
fi
command -v jackd >/dev/null || { echo "demo: jackd is not installed (package jackd2)" >&2; exit 1; }

# A fixed server name: a demo that was killed leaves at most this one name in JACK's table of
# servers, and the next demo takes it over, where a name per run would fill the table up.
server=quorvel-demo
source_name="Quorvel demo MTC"
ltc_name="Quorvel demo LTC"
# Held by this script and the window it opens (the other pieces close it), so it is free once
# the demo has ended or its window was closed. It lists the ids of the pieces started.
lock=${XDG_RUNTIME_DIR:-/tmp}/quorvel-demo-$(id -u).lock
exec 9>>"$lock"
if ! flock -n 9; then
    echo "demo: a Quorvel demo is already running; close its window first" >&2
    exit 1
fi
work=$(mktemp -d)
jackd_pid=""
send_pid=""
ltc_pid=""
cleanup() {
    set +e # a killed child's status must not cut the clean-up short
    for pid in $ltc_pid $send_pid $jackd_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    : >"$lock"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
trap 'exit 129' HUP

# Polls a command up to 10 s.
wait_for() {
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
server_runs() { JACK_DEFAULT_SERVER=$server jack_wait -c 2>/dev/null | grep -qx running; }
server_stopped() { ! server_runs; }

# A demo killed outright (SIGKILL) cannot stop its server and generator: they are stopped here,
# by the ids it wrote, when they are still what it started.
for pid in $(<"$lock"); do
    case $(ps -o args= -p "$pid" 2>/dev/null) in
    "jackd -n $server "* | *"quorvel-mtc-send --client $source_name "* | \
        *"quorvel-ltc-send --client $ltc_name "*) kill "$pid" ;;
    esac
done
export JACK_NO_START_SERVER=1
if ! wait_for server_stopped; then
    echo "demo: a JACK server named $server is running, but no demo started it; stop it first" >&2
    exit 1
fi
jackd -n "$server" -d dummy -p 256 </dev/null >"$work/jackd.log" 2>&1 9>&- &
jackd_pid=$!
echo "$jackd_pid" >"$lock"
wait_for server_runs || { echo "demo: the JACK server did not start:" >&2; cat "$work/jackd.log" >&2; exit 1; }
export JACK_DEFAULT_SERVER=$server

"$send" --client "$source_name" --rate 29.97 --from 00:00:52:00 --seconds 15 --loop \
    --full-frame >"$work/send.log" 2>&1 9>&- &
send_pid=$!
echo "$send_pid" >>"$lock"
wait_for grep -q "^Playing on" "$work/send.log" || {
    echo "demo: the generator did not start:" >&2
    cat "$work/send.log" >&2
    exit 1
}
echo "Demo source: $(sed -n 's/^Playing on //p' "$work/send.log")"

"$ltc_send" --client "$ltc_name" --rate 25 --from 00:59:50:00 --seconds 15 --loop \
    >"$work/ltc.log" 2>&1 9>&- &
ltc_pid=$!
echo "$ltc_pid" >>"$lock"
wait_for grep -q "^Playing on" "$work/ltc.log" || {
    echo "demo: the LTC generator did not start:" >&2
    cat "$work/ltc.log" >&2
    exit 1
}
echo "Demo LTC source: LTC from $(sed -n 's/^Playing on //p' "$work/ltc.log")"

if [[ -n $shot ]]; then
    # Listening from the start, so the picture shows the timecode running.
    QUORVEL_APP=$app QUORVEL_SETTLE=2 "$here/screenshot.sh" "$shot" --source "$source_name"
else
    echo "Pick \"$source_name\" in Quorvel's source menu, or \"LTC from $ltc_name\" below it."
    "$app"
fi
