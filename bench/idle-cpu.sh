#!/usr/bin/env bash
# CPU time of the real application while it listens to a silent source, once a MIDI source
# that sends nothing and once an audio port that plays silence (the dummy driver's
# system:capture_1), against jack_midi_dump listening to the same silent MIDI source over the
# same seconds, on a private JACK server (dummy driver, 128 frames) that this script starts and
# stops. Goal: the application uses no more than jack_midi_dump.
#   bench/idle-cpu.sh [seconds]      seconds measured per source, default 25
#   QUORVEL_BUILD_DIR                build folder (default: build)
# Prints CPU % of one core for both (the scheduler's run time, and user + system ticks from
# /proc/PID/stat), and the application's threads. Wrap it in `flock /tmp/quorvel-jack.lock` like every JACK program.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
seconds=${1:-25}
build=${QUORVEL_BUILD_DIR:-build}
app=$build/app/quorvel
sender=$build/tools/quorvel-mtc-send
for program in "$app" "$sender"; do
    [[ -x "$program" ]] || { echo "idle-cpu: $program is not built" >&2; exit 1; }
done

server=quorvel-idle-cpu-server
silent_client=quorvel-idle-silent
silent_port="$silent_client:MTC out"
dump_client=quorvel-idle-dump
tck=$(getconf CLK_TCK)

export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 QT_QPA_PLATFORM=offscreen
export ALSA_CONFIG_PATH=$PWD/cmake/alsa-none.conf # MIDI on JACK, as on a headless machine
user_dirs=$(mktemp -d)
export XDG_CONFIG_HOME=$user_dirs/config XDG_DATA_HOME=$user_dirs/data # nothing remembered

started=()
cleanup() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$user_dirs"
}
trap cleanup EXIT

if jack_wait -s "$server" -c 2>/dev/null | grep -q '^running'; then
    echo "idle-cpu: a JACK server named $server runs already" >&2
    exit 1
fi
jackd -n "$server" -d dummy -p 128 >/dev/null 2>&1 &
started+=($!)
jack_wait -s "$server" -w -t 10 >/dev/null 2>&1

"$sender" --client "$silent_client" --port "MTC out" --delay 86400 >/dev/null &
started+=($!)
jack_midi_dump "$dump_client" >/dev/null &
dump_pid=$!
started+=("$dump_pid")

# Waits (bounded) until port $1 is connected to a port whose name matches $2.
wait_connected() {
    for _ in $(seq 100); do
        if jack_lsp -c "$1" 2>/dev/null | tail -n +2 | grep -q "$2"; then return 0; fi
        sleep 0.1
    done
    echo "idle-cpu: $1 was not connected to $2" >&2
    return 1
}
for _ in $(seq 100); do jack_lsp 2>/dev/null | grep -qx "$silent_port" && break; sleep 0.1; done
jack_connect "$silent_port" "$dump_client:input"

# CPU time of a process: user + system ticks from /proc/PID/stat, and the scheduler's run time
# of all its threads in ns (/proc/PID/task/*/schedstat). The ticks are sampled at each clock
# tick, too coarse for threads that run some microseconds a few hundred times a second; the run
# time is exact.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
run_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {print n}'; }
# One line a thread: tid, run ns, name, scheduling policy (1 = FIFO: a JACK process thread).
threads() {
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s policy=%s\n' "${task##*/}" "$(cut -d' ' -f1 "$task/schedstat")" \
            "$(tr ' ' _ <"$task/comm")" "$(awk '{print $41}' "$task/stat")"
    done
}
percent_ticks() { awk -v t="$1" -v s="$2" -v k="$tck" 'BEGIN {printf "%.2f", 100 * t / k / s}'; }
percent_ns() { awk -v n="$1" -v s="$2" 'BEGIN {printf "%.2f", 100 * n / 1e9 / s}'; }

# Runs the application on source $2 (a --source prefix) until $3 is connected to a port
# matching $4, lets it settle, and measures it and jack_midi_dump over the same seconds.
measure() {
    local label=$1
    "$app" --source "$2" >/dev/null 2>&1 &
    local app_pid=$!
    started+=("$app_pid")
    wait_connected "$3" "$4"
    sleep 3
    local before after t0 t1 wall
    before="$(threads "$app_pid")|$(ticks "$app_pid") $(run_ns "$app_pid") $(ticks "$dump_pid") $(run_ns "$dump_pid")"
    t0=$(date +%s.%N)
    sleep "$seconds"
    t1=$(date +%s.%N)
    after="$(threads "$app_pid")|$(ticks "$app_pid") $(run_ns "$app_pid") $(ticks "$dump_pid") $(run_ns "$dump_pid")"
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}')
    local b=(${before##*|}) a=(${after##*|})
    echo "$label, % of one core over $(printf '%.1f' "$wall") s (run time; user+system ticks):"
    echo "  quorvel        $(percent_ns $((a[1] - b[1])) "$wall") %; $(percent_ticks $((a[0] - b[0])) "$wall") %"
    echo "  jack_midi_dump $(percent_ns $((a[3] - b[3])) "$wall") %; $(percent_ticks $((a[2] - b[2])) "$wall") %"
    echo "  quorvel's threads (tid name policy: run time %):"
    join <(sort <<<"${before%%|*}") <(sort <<<"${after%%|*}") |
        awk -v s="$wall" '{printf "    %s %s %s: %.2f\n", $1, $3, $4, 100 * ($5 - $2) / 1e9 / s}'
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
measure "silent MIDI source" "$silent_port" "$silent_port" "RtMidi Input Client"
measure "silent LTC source" "LTC from system:capture_1" "system:capture_1" "Quorvel:LTC in"
