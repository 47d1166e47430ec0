#!/usr/bin/env bash
# A session recorded in the real window and replayed: a scripted minute played with xdotool
# (a round started, clicks, pointer moves, a resize, a pause, earthquakes) under 'hearthly
# --record'; then 'hearthly-replay --play' must end in the very state and picture the game
# itself had when it ended, and 'hearthly --play' in a window must come to the same state.
#
# Usage: recording_window.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

replay=$2

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"

# The music is output, not play: its temporary file differs from run to run. The window's own
# size (and so the scale) is the viewer's when a recording is shown in a window.
state_of() { jq -S 'del(.music)' "$1"; }
state_without_window() { jq -S 'del(.music, .client, .scale)' "$1"; }

start_game() {
    "$hearthly" "$@" >"$work/game.log" 2>&1 &
    gamePid=$!
    # The scene and its paths are built before the window shows: slow in a sanitizer build.
    show_game 30 60
}

# click <x> <y>: the left button at a point of the window (client pixels).
click() { xdotool mousemove --window "$game" "$1" "$2" sleep 0.1 click 1; }

start_x 1280x1024
start_wm
export SDL_AUDIODRIVER=no-such-driver

# --- A minute of play, recorded ------------------------------------------------------------------
HEARTHLY_EXIT_DUMP="$work/played" start_game --record "$work/session.rec"
sleep 2
click 205 362 # "Slow": a round starts
sleep 3
for point in "600 300" "120 180" "400 520" "700 450" "300 100"; do
    read -r x y <<<"$point"
    xdotool mousemove --window "$game" $((x - 40)) $((y + 20)) sleep 0.3 mousemove --window "$game" "$x" "$y"
    sleep 0.5
    click "$x" "$y"
    sleep 3
done
xdotool key --clearmodifiers e # an earthquake
sleep 3
# A border drag to a wider window: the game brings back its proportions when it settles.
xdotool windowsize "$game" 1000 584
sleep 2
xdotool key --clearmodifiers p
sleep 2
wait_for "the paused title" 10 sh -c "xprop -id $game WM_NAME | grep -q paused"
xdotool key --clearmodifiers p
sleep 1
for point in "500 400" "200 300" "800 200"; do
    read -r x y <<<"$point"
    click "$x" "$y"
    sleep 4
done
xdotool key --clearmodifiers e
sleep 6
xdotool key --clearmodifiers f # the status box
sleep 2
quit_game 30

[[ -s $work/played.json && -s $work/played.png ]] || fail "the game wrote no state at its end"
tail -n 1 "$work/session.rec" | grep -qx end || fail "the recording has no end line"
ticks=$(grep -c '^t ' "$work/session.rec")
# A sanitizer build may not keep up with 100 frames a second; it still makes a few thousand.
((ticks > 1500)) || fail "only $ticks timer calls recorded in a minute"
# A round was played: it runs still, or the Wife has ended it.
jq -e '.rules.running or .rules.result != null' "$work/played.json" >/dev/null || fail "no round was played"

# --- Replayed headless: the same state and the same picture ----------------------------------------
"$replay" --play "$work/session.rec" --state "$work/replayed.json" --screenshot "$work/replayed.png" \
    >"$work/replay.log" 2>&1 || fail "hearthly-replay --play failed: $(cat "$work/replay.log")"
diff <(state_of "$work/played.json") <(state_of "$work/replayed.json") >"$work/state.diff" ||
    fail "the replayed state differs from the played one: $(head -n 40 "$work/state.diff")"
differing=$(compare -metric AE "$work/played.png" "$work/replayed.png" null: 2>&1 || true)
[[ $differing == 0 ]] || fail "the replayed picture differs from the played one in $differing pixels"

# --- Shown in a window, in real time: the same state again ------------------------------------------
HEARTHLY_EXIT_DUMP="$work/shown" start_game --play "$work/session.rec"
# A debug view, on and off, changes nothing that happens.
xdotool key --clearmodifiers b sleep 0.5 key --clearmodifiers b
wait_for "the recording to end" 300 grep -q "the recording has ended" "$work/game.log"
quit_game 30
diff <(state_without_window "$work/replayed.json") <(state_without_window "$work/shown.json") >"$work/state.diff" ||
    fail "the state shown in a window differs from the replayed one: $(head -n 40 "$work/state.diff")"

echo "recording_window: all checks passed ($ticks timer calls, $(stat -c %s "$work/session.rec") bytes)"
