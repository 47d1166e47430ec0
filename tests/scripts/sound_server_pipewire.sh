#!/usr/bin/env bash
# The music through SDL's own PipeWire driver, with a real PipeWire server, its session manager
# and a null sink whose output is recorded: the same visit as with PulseAudio (a round's tune
# under the game's names, 'p' and 'a' give silence, no idle stream, the tune where it would
# have been after the server is stopped and started again mid-round, a server started after the
# game). SDL's PipeWire driver reports no lost server: the game notices that its stream is no
# longer asked for samples.
#
# Usage: sound_server_pipewire.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

sessionPid=

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"
server=pipewire
lostWithin=15
# shellcheck source=lib/sound_server.sh
source "$(dirname "$0")/lib/sound_server.sh"

need pipewire wireplumber pw-cli pw-record dbus-run-session
export SDL_AUDIODRIVER=pipewire

# The whole graph runs at the tune's 44.1 kHz, so that the sink holds the game's very samples
# rather than a resampled copy.
mkdir -p "$XDG_CONFIG_HOME/pipewire/pipewire.conf.d"
echo 'context.properties = { default.clock.rate = 44100 default.clock.allowed-rates = [ 44100 ] }' \
    >"$XDG_CONFIG_HOME/pipewire/pipewire.conf.d/rate.conf"

launch_server() {
    pipewire &
    serverPid=$!
}
server_answers() { pw-cli info 0; }
has_sink() { pw-cli ls Node 2>/dev/null | grep -qF 'node.name = "hearthly_sink"'; }
server_ready() {
    dbus-run-session -- wireplumber >>"$work/server.log" 2>&1 &
    sessionPid=$!
    pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name=hearthly_sink
        media.class=Audio/Sink object.linger=1 audio.position=[FL FR] audio.rate=44100 }' >/dev/null
    wait_for "the null sink" 10 has_sink
}
# What the sink plays, taken from it as from a monitor.
record_sink() {
    pw-record -P '{ stream.capture.sink=true }' --target hearthly_sink --rate 44100 --channels 2 \
        --format s16 - >"$work/sink.raw" 2>>"$work/server.log" &
    recordPid=$!
}
kill_server() {
    local pid
    # The session manager runs under its own message bus, started for it by dbus-run-session,
    # which ends the bus once the manager is gone: killed itself, it would leave the bus behind.
    if [[ -n $sessionPid ]]; then
        if pid=$(pgrep -P "$sessionPid" wireplumber); then
            kill "$pid" 2>/dev/null || true
        else
            kill "$sessionPid" 2>/dev/null || true
        fi
        wait "$sessionPid" 2>/dev/null || true
        sessionPid=
    fi
    if [[ -n $serverPid ]]; then
        kill "$serverPid" 2>/dev/null || true
        wait "$serverPid" 2>/dev/null || true
        serverPid=
    fi
}
# The game's streams, as the server lists them: the application's and the stream's names.
game_streams() { pw-cli ls Node 2>/dev/null | grep -A3 -F 'application.name = "Hearthly"' || true; }
streams() { game_streams | grep -c 'node.name' || true; }
check_stream_names() {
    game_streams | grep -qF 'node.name = "Music"' || fail "the game's stream is not named Music: $(game_streams)"
}

check_sound_server
