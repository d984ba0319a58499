#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs Pexlora with pexlora-console-sim beside it on loopback (127.0.0.1, TCP 3038),
# and Pexlora connected to it, so a group can be recorded at once; the simulator
# sends its levels as sACN to 127.0.0.1 (UDP 5568), as a desk's live output, and
# stops when the program does. Usage: scripts/run-with-simulator.sh BUILD_FOLDER [pexlora arguments…]
set -u

build=${1:?usage: $0 BUILD_FOLDER [arguments...]}
shift
simulator="$build/tools/console-sim/pexlora-console-sim"
program="$build/src/app/pexlora"
output=$(mktemp)
simulator_pid=

stop_simulator() {
    if [ -n "$simulator_pid" ]; then
        kill "$simulator_pid" 2>/dev/null
        wait "$simulator_pid" 2>/dev/null
    fi
    rm -f "$output"
}
trap stop_simulator EXIT
trap 'exit 130' INT TERM

# Starts the simulator with the given discovery port; true once it says it is ready.
# It reads this terminal, as a desk's keypad ("Chan 1 Thru 5 At 75"): a background job
# would otherwise read nothing.
start_simulator() {
    : >"$output"
    "$simulator" --address 127.0.0.1 --tcp-port 3038 --discovery-port "$1" --sacn 127.0.0.1 \
        <&0 > >(tee -a "$output") 2>&1 &
    simulator_pid=$!
    for _ in $(seq 100); do
        grep -q '^Ready:' "$output" && return 0
        kill -0 "$simulator_pid" 2>/dev/null || break
        sleep 0.05
    done
    kill "$simulator_pid" 2>/dev/null
    wait "$simulator_pid" 2>/dev/null
    simulator_pid=
    return 1
}

# The console's own discovery port first; when another program holds it, any free one.
# Pexlora connects to it for this run only; the console it has stored stays stored.
console=()
if start_simulator 3034 || start_simulator 0; then
    console=(--console 127.0.0.1:3038)
else
    echo "run: the console simulator could not start (is TCP port 3038 taken?); Pexlora runs without it" >&2
fi

"$program" "${console[@]}" "$@"
