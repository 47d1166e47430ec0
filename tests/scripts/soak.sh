#!/usr/bin/env bash
# A seeded soak of the whole game through the replay tool: random clicks anywhere (also
# outside the world, on the black bars of a letter-boxed window and outside the window),
# random keys, pointer moves, resizes and minimising, while every agent is checked after
# every frame. Any crash, sanitizer report or failed check fails the run.
#
# Usage: soak.sh <hearthly> <hearthly-replay> <test data dir> [minutes of game time] [seed]
# As a test it runs half a minute; by hand, e.g.:
#   bash tests/scripts/soak.sh build/hearthly build/hearthly-replay tests/data 10 7
set -euo pipefail

replay=$2
minutes=${4:-0.5}
seed=${5:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One timer call is 10 ms of game time.
calls=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 6000 }')
((calls > 0)) || {
    echo "soak: the length must be a positive number of minutes, not '$minutes'" >&2
    exit 2
}

# The script: the same seed gives the same script. Quitting ('q', Esc) and the About box
# ('h') are left out; every other key the game knows is in, with a few it does not.
awk -v calls="$calls" -v seed="$seed" '
function pick(n) { return int(rand() * n) }
BEGIN {
    srand(seed)
    keys = "p s e z d g l j k f b c r a n m + = - _ x A 1"
    nkeys = split(keys, key, " ")
    w = 800; h = 584
    paused = 0; resumeAt = 0; minimized = 0; restoreAt = 0
    # The navigation overlay ("l", three modes) redraws the whole window every frame: it is
    # switched off again after a while, or a half-minute soak would spend itself on it.
    overlayOffAt = 0
    for (call = 1; call <= calls; call++) {
        # A pause or a minimised window ends after a while, so that the game goes on.
        if (paused && call >= resumeAt) { print call, "key p"; paused = 0 }
        if (minimized && call >= restoreAt) { print call, "restore"; minimized = 0 }
        if (overlayOffAt && call >= overlayOffAt) { print call, "key l"; print call, "key l"; overlayOffAt = 0 }
        # Now and then a round is started and won at once: forty socks collected in a row.
        if (call % 2500 == 1000) { print call, "key n"; for (i = 0; i < 40; i++) print call + 50, "key +" }
        r = rand()
        if (r < 0.05) {
            print call, "move", pick(w + 81) - 40, pick(h + 81) - 40
        } else if (r < 0.06) {
            print call, "click", pick(w + 81) - 40, pick(h + 81) - 40
        } else if (r < 0.065) {
            k = key[1 + pick(nkeys)]
            if (k == "p") {
                if (paused) continue
                paused = 1; resumeAt = call + 20 + pick(300)
            }
            if (k == "l") {
                if (overlayOffAt) continue
                overlayOffAt = call + 10 + pick(100)
            }
            print call, "key", k
        } else if (r < 0.0665) {
            # Mostly ordinary sizes, now and then a sliver or nothing at all.
            if (rand() < 0.1) { w = pick(40); h = pick(40) } else { w = 120 + pick(1100); h = 90 + pick(800) }
            print call, "resize", w, h
        } else if (r < 0.067 && !minimized) {
            print call, "minimize"
            minimized = 1; restoreAt = call + 10 + pick(200)
        }
    }
}' >"$work/soak.replay"

echo "soak: $minutes minutes of game time ($calls timer calls), seed $seed, $(grep -c '' "$work/soak.replay") events"
status=0
"$replay" --seed "$seed" --frames "$calls" --script "$work/soak.replay" --check-agents --stand-ins 3 --timing \
    >"$work/log" 2>&1 || status=$?
cat "$work/log"
if ((status != 0)); then
    cp "$work/soak.replay" "${TMPDIR:-/tmp}/soak-failed-$seed.replay" 2>/dev/null &&
        echo "soak: the script is kept in ${TMPDIR:-/tmp}/soak-failed-$seed.replay"
    echo "soak: hearthly-replay ended with status $status"
    exit 1
fi
grep -q '^agent check: ' "$work/log" || {
    echo "soak: no agent check report"
    exit 1
}
echo "soak: passed"
