#!/bin/bash
# Every paint of a scripted session must equal a full redraw of the same scene.
# Arguments: <hearthly> <hearthly-replay> <tests/data directory>
set -u
replay="$2"
data="$3"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$replay" --frames 140 --script "$data/incremental.replay" --check-incremental --state "$out/state.json" \
    > "$out/log" 2>&1
status=$?
cat "$out/log"
if [ "$status" -ne 0 ]; then
    echo "hearthly-replay failed with status $status"
    exit 1
fi
if ! grep -q "paints compared" "$out/log"; then
    echo "no incremental check report"
    exit 1
fi
compared=$(sed -n 's/^incremental check: \([0-9]*\) paints compared.*/\1/p' "$out/log")
if [ "${compared:-0}" -lt 20 ]; then
    echo "too few paints compared: ${compared:-0}"
    exit 1
fi
# The last drag brought the window back to the world's own size.
if ! tr -d ' \n' < "$out/state.json" | grep -q '"client":\[800,584\]'; then
    echo "the window did not end at 800 x 584"
    exit 1
fi
# Centred between bars on a wider window, through an earthquake: the same, pixel for pixel.
printf '1 key e\n5 move 300 400\n' > "$out/quake.replay"
"$replay" --size 1400x700 --frames 200 --script "$out/quake.replay" --check-incremental > "$out/wide.log" 2>&1
status=$?
cat "$out/wide.log"
if [ "$status" -ne 0 ]; then
    echo "hearthly-replay failed with status $status at 1400 x 700"
    exit 1
fi
# A round on a letter-boxed window: every paint equals a full redraw to the last shade.
"$replay" --frames 140 --size 1400x700 --script "$data/round-quake.replay" --check-incremental \
    > "$out/round" 2>&1
status=$?
cat "$out/round"
if [ "$status" -ne 0 ] || ! grep -q "largest channel difference 0, differing pixels 0" "$out/round"; then
    echo "a letter-boxed round differs from a full redraw"
    exit 1
fi
exit 0
