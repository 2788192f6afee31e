#!/usr/bin/env bash
# Starts or stops a private JACK server with the dummy driver for the MIDI tests.
#   quorvel-jack-fixture.sh start|stop SERVER_NAME STATE_DIR [PERIOD]
# start fails (non-zero) unless the server answers within the bounded wait.
set -euo pipefail

action=$1
name=$2
state_dir=$3
period=${4:-128}
pid_file=$state_dir/$name.pid
log_file=$state_dir/$name.log
export JACK_NO_START_SERVER=1

# True when pid is our jackd for this name (a stale pid file may name a recycled pid).
is_our_server() {
    local pid=$1
    [[ -r /proc/$pid/cmdline ]] || return 1
    local cmdline
    cmdline=$(tr '\0' ' ' <"/proc/$pid/cmdline")
    [[ $cmdline == *jackd*" -n $name "* ]]
}

# True while pid runs (a child that exited stays a zombie until reaped, so kill -0 is not enough).
is_running() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
    [[ -n $state && $state != Z ]]
}

stop_server() {
    [[ -f $pid_file ]] || return 0
    local pid
    pid=$(<"$pid_file")
    if is_our_server "$pid"; then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            is_our_server "$pid" || break
            sleep 0.1
        done
        if is_our_server "$pid"; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$pid_file"
}

start_server() {
    mkdir -p "$state_dir"
    stop_server # a server left over from an interrupted run
    if JACK_DEFAULT_SERVER=$name jack_wait -c 2>/dev/null | grep -qx running; then
        echo "a JACK server named '$name' is already running and is not ours" >&2
        exit 1
    fi
    setsid jackd -n "$name" -S -t 500 -d dummy -p "$period" </dev/null >"$log_file" 2>&1 &
    echo $! >"$pid_file"
    local pid=$!
    # Not is_our_server: until the child has exec'd jackd, its command line is this script's.
    for _ in $(seq 100); do
        if ! is_running "$pid"; then
            echo "jackd '$name' exited during start-up:" >&2
            cat "$log_file" >&2
            exit 1
        fi
        if JACK_DEFAULT_SERVER=$name jack_wait -c 2>/dev/null | grep -qx running; then
            echo "JACK server '$name' (pid $pid, period $period) is running"
            return 0
        fi
        sleep 0.1
    done
    echo "jackd '$name' did not answer within 10 s:" >&2
    cat "$log_file" >&2
    stop_server
    exit 1
}

case $action in
start) start_server ;;
stop) stop_server ;;
*)
    echo "usage: $0 start|stop SERVER_NAME STATE_DIR [PERIOD]" >&2
    exit 2
    ;;
esac
