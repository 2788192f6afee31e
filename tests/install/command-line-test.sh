#!/usr/bin/env bash
# Both programs' command lines: exit status and what they print. No display is set, so a run
# that got as far as opening a window would fail with another status.
#   command-line-test.sh QUORVEL QUORVEL_MTC_SEND VERSION
set -uo pipefail
quorvel=$1
send=$2
version=$3
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

status=0
# expected status | text expected in stdout+stderr | program and arguments
check() {
    local want=$1 text=$2
    shift 2
    local out got
    out=$(timeout 10 "$@" 2>&1)
    got=$?
    if [[ $got -ne $want || $out != *"$text"* ]]; then
        echo "FAIL: $* -> status $got (want $want), output:"
        echo "$out"
        status=1
    fi
}

for program in "$quorvel" "$send"; do
    name=$(basename "$program")
    check 0 "$name $version" "$program" --version
    check 0 "$name $version" "$program" -v
    check 0 "--help" "$program" --help
    check 2 "Usage: $program [options]" "$program" --no-such-option
    check 2 "Usage: $program [options]" "$program" stray-argument
done
check 2 "--source" "$quorvel" --source
check 2 "--rate must be 24, 25, 29.97 or 30" "$send" --rate 31
check 2 "--from must be" "$send" --from 25:00:00:00
check 2 "does not exist in drop-frame" "$send" --rate 29.97 --from 00:01:00:00
check 2 "--seconds must be" "$send" --seconds soon
check 2 "--loop needs" "$send" --loop --seconds 0
exit $status
