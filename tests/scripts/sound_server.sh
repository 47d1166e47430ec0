#!/usr/bin/env bash
# The music through a real PulseAudio server with a null sink, as on a player's desktop: a
# round's tune reaches the sink (its monitor is recorded), the game and its stream carry their
# names, 'p' and 'a' give silence, no stream stays open while nothing plays, after the server is
# killed and started again mid-round the music comes back by itself where the tune would have
# been, and a game started before the server plays its music once the server is there.
#
# Usage: sound_server.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"
# shellcheck source=lib/sound_server.sh
source "$(dirname "$0")/lib/sound_server.sh"

need pulseaudio pactl parec
export PULSE_SERVER=unix:$work/pulse.socket
unset SDL_AUDIODRIVER

# A user-mode server (it warns when run as root) with only a null sink and a socket of its own:
# no hardware, no D-Bus, no module that would suspend the idle sink.
launch_server() {
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
        --load="module-null-sink sink_name=hearthly_sink" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.socket" &
    serverPid=$!
}
server_answers() { pactl info; }
server_ready() { :; }
# The sink's monitor: silence while nothing plays, the tune when it does.
record_sink() {
    parec -d hearthly_sink.monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 \
        >"$work/sink.raw" 2>>"$work/server.log" &
    recordPid=$!
}
# Killed, as a crashed server goes.
kill_server() {
    if [[ -n $serverPid ]]; then
        kill -KILL "$serverPid" 2>/dev/null || true
        wait "$serverPid" 2>/dev/null || true
        serverPid=
    fi
}
streams() { pactl list short sink-inputs 2>/dev/null | grep -c . || true; }
check_stream_names() {
    local inputs
    inputs=$(pactl list sink-inputs)
    grep -qF 'application.name = "Hearthly"' <<<"$inputs" || fail "the stream's application is not named Hearthly: $inputs"
    grep -qF 'media.name = "Music"' <<<"$inputs" || fail "the stream is not named Music: $inputs"
}

check_sound_server
