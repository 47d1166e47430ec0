#!/usr/bin/env bash
# The music through SDL's own PipeWire driver, with a real PipeWire server, its session manager
# and a null sink: the game's stream carries its names, goes when nothing plays, and comes back
# after the server is killed and started again mid-round (SDL's PipeWire driver reports no loss;
# the game notices that its stream is no longer asked for samples).
#
# Usage: sound_server_pipewire.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

pipewirePid=
sessionPid=

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"
# SDL is built without frame pointers: only the slow unwinder sees past it to the game's code
# that the leak suppressions name.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"

stop_pipewire() {
    local pid
    # The session manager runs under its own message bus, started for it by dbus-run-session.
    [[ -n $sessionPid ]] && pid=$(pgrep -P "$sessionPid" wireplumber) && kill "$pid" 2>/dev/null
    for pid in $pipewirePid $sessionPid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pipewirePid=
    sessionPid=
}
trap 'stop_pipewire; cleanup' EXIT

for tool in pipewire wireplumber pw-cli dbus-run-session; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done

export HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export SDL_AUDIODRIVER=pipewire

pipewire_answers() { pw-cli info 0 >/dev/null 2>&1; }
has_sink() { pw-cli ls Node 2>/dev/null | grep -qF 'node.name = "hearthly_sink"'; }

start_pipewire() {
    pipewire >>"$work/pipewire.log" 2>&1 &
    pipewirePid=$!
    local tries=200
    until pipewire_answers; do
        if ! kill -0 "$pipewirePid" 2>/dev/null || ((--tries == 0)); then
            if [[ $1 == first ]]; then
                echo "SKIP: PipeWire does not start here:" >&2
                tail -n 5 "$work/pipewire.log" >&2
                exit 77
            fi
            fail "PipeWire did not start again"
        fi
        sleep 0.05
    done
    dbus-run-session -- wireplumber >>"$work/wireplumber.log" 2>&1 &
    sessionPid=$!
    pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name=hearthly_sink
        media.class=Audio/Sink object.linger=1 audio.position=[FL FR] }' >/dev/null
    wait_for "the null sink" 10 has_sink
}

# The game's stream, as the server lists it: the application's and the stream's names.
game_streams() { pw-cli ls Node 2>/dev/null | grep -A3 -F 'application.name = "Hearthly"' || true; }
has_stream() { game_streams | grep -qF 'node.name = "Music"'; }
no_stream() { ! game_streams | grep -q .; }
said() { grep -qF "$1" "$work/game.log"; }

start_x 1280x1024
start_wm

start_pipewire first

"$hearthly" >"$work/game.log" 2>&1 &
gamePid=$!
show_game

wait_for "the idle stream to be released in the menu" 20 no_stream
xdotool mousemove --window "$game" 205 362 click 1
wait_for "the game's stream, named Hearthly and Music" 10 has_stream

stop_pipewire
wait_for "the game to say it lost the sound device" 15 said "lost the sound device"
start_pipewire again
restarted=$(date +%s%N)
wait_for "the stream after the server came back" 10 has_stream
back=$(($(date +%s%N) - restarted))
wait_for "the game to say the sound is back" 10 said "the sound device is back"

xdotool key --clearmodifiers a
wait_for "the stream to be released with the music off" 20 no_stream

xdotool key --clearmodifiers q
wait_for "hearthly to end" 10 game_ended
status=0
wait "$gamePid" || status=$?
gamePid=
((status == 0)) || fail "hearthly ended with status $status"

awk -v ms="$((back / 1000000))" 'BEGIN {
    printf "sound_server_pipewire: all checks passed (stream back %.1f s after the server)\n", ms / 1000 }'
