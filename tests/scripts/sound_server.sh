#!/usr/bin/env bash
# The music through a real PulseAudio server with a null sink, as on a player's desktop: a
# round's tune reaches the sink (its monitor is recorded), the game and its stream carry their
# names, 'p' and 'a' give silence, no stream stays open while nothing plays, after the server is
# killed and started again mid-round the music comes back by itself where the tune would have
# been, and a game started before the server plays its music once the server is there.
#
# Usage: sound_server.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

pulsePid=
recordPid=

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"
# SDL is built without frame pointers: only the slow unwinder sees past it to the game's code
# that the leak suppressions name.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"

stop_pulse() {
    local pid
    for pid in $recordPid $pulsePid; do
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    recordPid=
    pulsePid=
}
trap 'stop_pulse; cleanup' EXIT

for tool in pulseaudio pactl parec; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done

# The server and every client keep their files in the scratch folder, never in the real home.
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER=unix:$work/pulse.socket
unset SDL_AUDIODRIVER

pulse_answers() { pactl info >/dev/null 2>&1; }

# A user-mode server (it warns when run as root) with only a null sink and a socket of its own:
# no hardware, no D-Bus, no module that would suspend the idle sink.
start_pulse() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
        --load="module-null-sink sink_name=hearthly_sink" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.socket" \
        >>"$work/pulse.log" 2>&1 &
    pulsePid=$!
    local tries=200
    until pulse_answers; do
        if ! kill -0 "$pulsePid" 2>/dev/null || ((--tries == 0)); then
            # The one case this test cannot help: a machine where the server will not run at all.
            if [[ $1 == first ]]; then
                echo "SKIP: PulseAudio does not start here:" >&2
                tail -n 5 "$work/pulse.log" >&2
                exit 77
            fi
            fail "PulseAudio did not start again"
        fi
        sleep 0.05
    done
    # The sink's monitor as raw 16-bit stereo: silence while nothing plays, the tune when it does.
    parec -d hearthly_sink.monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 \
        >"$work/sink.raw" 2>>"$work/pulse.log" &
    recordPid=$!
}

# Root mean square of the recorded samples after byte offset $1 (the first $2 bytes skipped).
loudness_after() {
    tail -c "+$(($1 + $2 + 1))" "$work/sink.raw" | od -An -v -td2 |
        awk '{ for (i = 1; i <= NF; i++) { s += $i * $i; n++ } } END { print (n ? sqrt(s / n) : 0) }'
}
recorded() { stat -c %s "$work/sink.raw" 2>/dev/null || echo 0; }
# A second of recording is 176400 bytes.
recorded_past() { (($(recorded) >= $1)); }
# The last half second of the recording is loud.
music_heard() {
    local size
    size=$(recorded)
    awk -v r="$(loudness_after $((size > 88200 ? size - 88200 : 0)) 0)" 'BEGIN { exit !(r > 100) }'
}
# Silence in the recording for a second after the moment marked (its first 0.3 s, still on its
# way through the server, left out).
silent_after() {
    local mark=$1
    wait_for "a second of recording" 10 recorded_past $((mark + 176400))
    local rms
    rms=$(head -c $((mark + 176400)) "$work/sink.raw" | tail -c +$((mark + 52920 + 1)) | od -An -v -td2 |
        awk '{ for (i = 1; i <= NF; i++) { s += $i * $i; n++ } } END { print (n ? sqrt(s / n) : 0) }')
    awk -v r="$rms" 'BEGIN { exit !(r == 0) }' || fail "$2 left the tune playing (RMS $rms)"
}

streams() { pactl list short sink-inputs 2>/dev/null | grep -c . || true; }
no_stream() { [[ $(streams) == 0 ]]; }
has_stream() { [[ $(streams) != 0 ]]; }
said() { grep -qF "$1" "$work/game.log"; }

start_x 1280x1024
start_wm

start_pulse first

"$hearthly" >"$work/game.log" 2>&1 &
gamePid=$!
show_game

# --- The menu: no stream for the server to mix ------------------------------------------------
wait_for "the idle stream to be released in the menu" 20 no_stream

# --- A round: the tune reaches the sink, under the game's own names ---------------------------
# "Slow" stands at (190, 350) of the 800 x 584 world, which fills the window.
xdotool mousemove --window "$game" 205 362 click 1
wait_for "a stream to the server" 10 has_stream
wait_for "the tune at the sink" 10 music_heard
inputs=$(pactl list sink-inputs)
grep -qF 'application.name = "Hearthly"' <<<"$inputs" || fail "the stream's application is not named Hearthly: $inputs"
grep -qF 'media.name = "Music"' <<<"$inputs" || fail "the stream is not named Music: $inputs"
sleep 1
mark=$(recorded)
wait_for "a second of the round" 10 recorded_past $((mark + 176400))
round=$(loudness_after "$mark" 0)
awk -v r="$round" 'BEGIN { exit !(r > 100) }' || fail "the round is silent at the sink (RMS $round)"

# --- Paused: silence, and the stream goes; unpaused, the tune comes back ------------------------
xdotool key --clearmodifiers p
silent_after "$(recorded)" "'p'"
wait_for "the stream to be released while paused" 20 no_stream
xdotool key --clearmodifiers p
wait_for "the tune after the pause" 10 music_heard

# --- The server dies mid-round and comes back, the tune where it would have been --------------
# Where the tune stands at the sink: the game plays it from memory, sample for sample as the
# replay tool renders a round, so a few samples of the sink's recording are found in that
# rendering, and their place there is the tune's position.
# The rendering runs past the tune's first loop (it is about a minute long), so a place anywhere
# in it is found, and the loop's length is where a snippet of its first seconds comes round.
printf '10 click 205 362\n' >"$work/round.replay"
"$2" --frames 7000 --script "$work/round.replay" --audio "$work/round.wav" >/dev/null 2>&1 ||
    fail "hearthly-replay could not render a round's tune"
tail -c +45 "$work/round.wav" | od -An -v -tx1 | tr -d ' \n' >"$work/round.hex"
loop=$(awk '{ s = substr($0, 352801, 128); i = index(substr($0, 352803), s)
              if (i % 2 == 1) printf "%.3f", (i + 1) / 2 / 176400 }' "$work/round.hex")
[[ -n $loop ]] || fail "the rendered round's tune does not loop"
# Sets position (seconds into the tune) and positionAt (wall clock in ns) for what the sink
# played half a second ago; fails while that is not in the round's tune (the tune still plays
# from the synthesiser, its recording not done yet).
tune_position() {
    local size now at snippet found
    size=$(recorded)
    now=$(date +%s%N)
    at=$((size - 88200 - size % 4))
    snippet=$(od -An -v -tx1 -j "$at" -N 64 "$work/sink.raw" | tr -d ' \n')
    found=$(awk -v s="$snippet" '{ i = index($0, s); if (i % 2 == 1) print i - 1 }' "$work/round.hex")
    [[ -n $found ]] || return 1
    position=$(awk -v hex="$found" 'BEGIN { printf "%.3f", hex / 2 / 176400 }')
    positionAt=$((now - 500000000))
}
# A sanitizer build on a busy machine takes a while to record the tune.
wait_for "the tune played from its recording" 60 tune_position
before=$position beforeAt=$positionAt

stop_pulse
wait_for "the game to say it lost the sound device" 10 said "lost the sound device"
start_pulse again
restarted=$(date +%s%N)
wait_for "the tune after the server came back" 10 music_heard
back=$(($(date +%s%N) - restarted))
game_running || fail "the game ended when the sound server went away"
lost=$(grep -c "lost the sound device" "$work/game.log" || true)
((lost == 1)) || fail "the game said $lost times that it lost the sound device"
sleep 1
wait_for "the tune at the sink after the outage" 10 tune_position
after=$position afterAt=$positionAt
# The tune went on while the server was away: it moved as far as the clock did, not less by the
# outage (the sink's buffering gives or takes a tenth of a second), counted round its loop.
awk -v p0="$before" -v p1="$after" -v t0="$beforeAt" -v t1="$afterAt" -v loop="$loop" 'BEGIN {
    moved = p1 - p0; elapsed = (t1 - t0) / 1e9
    printf "the tune moved %.2f s in %.2f s across the outage (it loops every %.2f s)\n", moved, elapsed, loop
    off = (moved - elapsed) % loop; if (off < 0) off += loop; if (off > loop / 2) off -= loop
    exit !(off > -0.35 && off < 0.35) }' ||
    fail "the tune did not go on where it would have been"

# --- 'a' silences it, and the stream goes ------------------------------------------------------
xdotool key --clearmodifiers a
silent_after "$(recorded)" "'a'"
wait_for "the stream to be released with the music off" 20 no_stream

xdotool key --clearmodifiers q
wait_for "hearthly to end" 10 game_ended
status=0
wait "$gamePid" || status=$?
gamePid=
((status == 0)) || fail "hearthly ended with status $status"

# --- No server when the game starts: the music begins once one is there -----------------------
stop_pulse
: >"$work/game.log"
"$hearthly" >"$work/game.log" 2>&1 &
gamePid=$!
show_game
wait_for "the game to say there is no audio" 10 said "the music starts when a sound server answers"
xdotool mousemove --window "$game" 205 362 click 1
# Long enough for a few tries in vain, quietly.
sleep 3
start_pulse again
started=$(date +%s%N)
wait_for "the tune once the server was started" 10 music_heard
late=$(($(date +%s%N) - started))
said "found a sound device (pulseaudio)" || fail "the game did not say it found the sound device"
lines=$(grep -c "^hearthly: " "$work/game.log" || true)
((lines == 2)) || fail "the game said $lines lines about sound instead of two"
xdotool key --clearmodifiers q
wait_for "hearthly to end" 10 game_ended
status=0
wait "$gamePid" || status=$?
gamePid=
((status == 0)) || fail "hearthly ended with status $status"

awk -v r="$round" -v ms="$((back / 1000000))" -v late="$((late / 1000000))" 'BEGIN {
    printf "sound_server: all checks passed (round RMS %.0f; music back %.1f s after the server; " \
        "%.1f s after a server started late)\n", r, ms / 1000, late / 1000 }'
