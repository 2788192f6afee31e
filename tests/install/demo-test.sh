#!/usr/bin/env bash
# The demo: a second one started while one runs is refused and leaves the first alone; without
# a display it saves a picture of the window; and it leaves no process behind.
#   demo-test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
first=""
cleanup() {
    touch "$work/close"
    [[ -z $first ]] || wait "$first" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
unset DISPLAY WAYLAND_DISPLAY
export QUORVEL_MTC_SEND=$build/tools/quorvel-mtc-send

# The first demo's window is a stand-in that stays open until told to close (20 s at most);
# the display is only named, never opened.
cat >"$work/window" <<EOF
#!/bin/sh
for _ in \$(seq 200); do [ -e "$work/close" ] && exit 0; sleep 0.1; done
exit 1
EOF
chmod +x "$work/window"
DISPLAY=:0 QUORVEL_APP=$work/window "$src/scripts/demo.sh" >"$work/first.log" 2>&1 &
first=$!
for _ in $(seq 100); do
    grep -q '^Pick' "$work/first.log" && break
    sleep 0.1
done
grep -q '^Pick' "$work/first.log" || { echo "the first demo did not start:"; cat "$work/first.log"; exit 1; }
second=$(DISPLAY=:0 QUORVEL_APP=$work/window "$src/scripts/demo.sh" 2>&1) && {
    echo "a second demo ran beside the first: $second"
    exit 1
}
[[ $second == *"already running"* ]] || { echo "second demo: $second"; exit 1; }
kill -0 "$first" || { echo "the first demo ended early:"; cat "$work/first.log"; exit 1; }
touch "$work/close"
wait "$first" || { echo "the first demo failed:"; cat "$work/first.log"; exit 1; }
first=""

# Free again once the first has ended: the same server name and lock are taken once more.
QUORVEL_APP=$build/app/quorvel "$src/scripts/demo.sh" --screenshot "$work/shot.png"
[[ -s $work/shot.png ]] || { echo "no screenshot"; exit 1; }
left=$(pgrep -af "jackd -n quorvel-demo |quorvel-(mtc|ltc)-send --client Quorvel demo" || true)
[[ -z $left ]] || { echo "left running: $left"; exit 1; }
