# Shared by the scripts that play the game's music through a real sound server with a null sink
# whose output they record. Sourced after session.sh; the script defines the server's own part:
#
#   launch_server      starts the server in the background, its process id in serverPid
#   server_answers     succeeds once clients can connect
#   server_ready       what the server needs once it answers (a sink, a session manager)
#   record_sink        records the sink's output, raw 16-bit stereo at 44.1 kHz, into
#                      $work/sink.raw, with its process id in recordPid
#   kill_server        stops what launch_server and server_ready started
#   streams            how many streams the game has open at the server
#   check_stream_names fails unless the game's stream is named "Hearthly" and "Music"
#
# and may set server (the name the game gives the sound system in its messages) and lostWithin
# (how long the game may take to notice a lost server, in seconds).

replay=$2
serverPid=
recordPid=
server=${server:-pulseaudio}
lostWithin=${lostWithin:-10}

# SDL is built without frame pointers: only the slow unwinder sees past it to the game's code
# that the leak suppressions name.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
# Once in some twenty visits, SDL 2.26's audio code leaves two device records (an output and its
# monitor) behind after a server it found late, allocated on one of SDL's own threads with no
# frame of the game's to name. Here alone SDL's own allocations are let pass: the other
# real-window scripts still check everything the game asks SDL for.
cat "$data/leaks.supp" - >"$work/leaks.supp" <<'SUPP'
leak:libSDL2-2.0.so.0
SUPP
export LSAN_OPTIONS="${LSAN_OPTIONS//$data\/leaks.supp/$work\/leaks.supp}"

stop_server() {
    if [[ -n $recordPid ]]; then
        kill -KILL "$recordPid" 2>/dev/null || true
        wait "$recordPid" 2>/dev/null || true
        recordPid=
    fi
    # Not there yet when the script ends before defining its server's part.
    if declare -F kill_server >/dev/null; then
        kill_server
    fi
}
trap 'stop_server; cleanup' EXIT

# need <tool...>: fails unless every tool is there.
need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
    done
}

# The server and every client keep their files in the scratch folder, never in the real home.
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"

# start_server first|again: the server, ready, with its sink being recorded.
start_server() {
    launch_server >>"$work/server.log" 2>&1
    local tries=200
    until server_answers >/dev/null 2>&1; do
        if ! kill -0 "$serverPid" 2>/dev/null || ((--tries == 0)); then
            # The one case this test cannot help: a machine where the server will not run at all.
            if [[ $1 == first ]]; then
                echo "SKIP: $server does not start here:" >&2
                tail -n 5 "$work/server.log" >&2
                exit 77
            fi
            fail "$server did not start again"
        fi
        sleep 0.05
    done
    server_ready
    record_sink
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

no_stream() { [[ $(streams) == 0 ]]; }
has_stream() { [[ $(streams) != 0 ]]; }
said() { grep -qF "$1" "$work/game.log"; }

start_game() {
    : >"$work/game.log"
    "$hearthly" >"$work/game.log" 2>&1 &
    gamePid=$!
    show_game
}

# "Slow" stands at (190, 350) of the 800 x 584 world, which fills the window.
click_slow() { xdotool mousemove --window "$game" 205 362 click 1; }
click_until_round() {
    click_slow
    sleep 0.5
    strip_busier "$1"
}

# In the menu no stream is open; a round's tune reaches the sink under the game's names. Sets
# round to the loudness of a second of the round.
check_round() {
    wait_for "the idle stream to be released in the menu" 20 no_stream
    click_slow
    wait_for "a stream to the server" 10 has_stream
    wait_for "the tune at the sink" 10 music_heard
    check_stream_names
    local mark
    mark=$(recorded)
    wait_for "a second of the round" 10 recorded_past $((mark + 176400))
    round=$(loudness_after "$mark" 0)
    awk -v r="$round" 'BEGIN { exit !(r > 100) }' || fail "the round is silent at the sink (RMS $round)"
}

# Paused: silence, and the stream goes; unpaused, the tune comes back.
check_pause() {
    xdotool key --clearmodifiers p
    silent_after "$(recorded)" "'p'"
    wait_for "the stream to be released while paused" 20 no_stream
    xdotool key --clearmodifiers p
    wait_for "the tune after the pause" 10 music_heard
}

# Where the tune stands at the sink: the game plays it from memory as the replay tool renders a
# round, so a few samples of the sink's recording are found in that rendering, and their place
# there is the tune's position. Through PipeWire the samples may come out a unit off here and
# there, so both sides are compared in steps of 32 units (a word of three hex digits a sample),
# and a snippet that a step boundary split is simply tried again with the next one.
quantized() { od -An -v -td2 -w4 | awk '{ printf "%03x%03x", int(($1 + 32784) / 32), int(($2 + 32784) / 32) }'; }

# The rendering runs past the tune's first loop (it is about a minute long), so a place anywhere
# in it is found, and the loop's length is where a snippet of its first seconds comes round. The
# round is left to itself: on this seed the Wife has not yet caught him a third time by then
# (a lost round's tune plays out once and stops).
render_round_tune() {
    printf '10 click 205 362\n' >"$work/round.replay"
    "$replay" --seed 7 --frames 7000 --script "$work/round.replay" --audio "$work/round.wav" >/dev/null 2>&1 ||
        fail "hearthly-replay could not render a round's tune"
    tail -c +45 "$work/round.wav" | quantized >"$work/round.q"
    # Sixteen frames at 2 s, six digits a frame.
    loop=$(awk '{ s = substr($0, 529201, 96); i = index(substr($0, 529207), s)
                  if (i % 6 == 1) printf "%.3f", ((i - 1) / 6 + 1) / 44100 }' "$work/round.q")
    [[ -n $loop ]] || fail "the rendered round's tune does not loop"
}

# Sets position (seconds into the tune) and positionAt (wall clock in ns) for what the sink
# played half a second ago; fails while that is not in the round's tune (the tune still plays
# from the synthesiser, its recording not done yet) or is too quiet to tell one place from another.
tune_position() {
    local size now at snippet found
    size=$(recorded)
    now=$(date +%s%N)
    at=$((size - 88200 - size % 4))
    ((at >= 0)) || return 1
    od -An -v -td2 -j "$at" -N 64 "$work/sink.raw" | awk '{ for (i = 1; i <= NF; i++) if ($i > 511 || $i < -511) loud = 1 }
        END { exit !loud }' || return 1
    snippet=$(tail -c +$((at + 1)) "$work/sink.raw" | head -c 64 | quantized)
    # The first place that starts on a whole frame.
    found=$(grep -obF "$snippet" "$work/round.q" | awk -F: '$1 % 6 == 0 { print $1; exit }' || true)
    [[ -n $found ]] || return 1
    position=$(awk -v at="$found" 'BEGIN { printf "%.3f", at / 6 / 44100 }')
    positionAt=$((now - 500000000))
}

# The tune at the sink is back before where it stood ($1 seconds in): a new round started it
# again.
tune_restarted() { tune_position && awk -v p="$position" -v was="$1" 'BEGIN { exit !(p < was) }'; }

# The server goes away mid-round and comes back: the game says so once each way and the music
# comes back by itself where the tune would have been. Sets back to the nanoseconds from the
# server's start to the tune at the sink.
check_outage() {
    # A sanitizer build on a busy machine takes a while to record the tune.
    wait_for "the tune played from its recording" 60 tune_position
    # A fresh round with every life: one lost meanwhile stops the rules, and with them the
    # tune's loop, which would leave it silent at its end.
    local old=$position
    xdotool key --clearmodifiers n
    # The restarted tune reaches the sink through the same slow recording as the first.
    wait_for "the new round's tune at the sink" 30 tune_restarted "$old"
    local before=$position beforeAt=$positionAt
    stop_server
    wait_for "the game to say it lost the sound device" "$lostWithin" said "lost the sound device"
    # The server stays away for a while, well beyond the tolerance of the check below, so that a
    # tune held still through the outage cannot pass for one that went on.
    sleep 3
    start_server again
    local restarted
    restarted=$(date +%s%N)
    wait_for "the tune after the server came back" 10 music_heard
    back=$(($(date +%s%N) - restarted))
    game_running || fail "the game ended when the sound server went away"
    wait_for "the game to say the sound is back" 10 said "the sound device is back ($server)"
    local lost
    lost=$(grep -c "lost the sound device" "$work/game.log" || true)
    ((lost == 1)) || fail "the game said $lost times that it lost the sound device"
    sleep 1
    wait_for "the tune at the sink after the outage" 10 tune_position
    # The tune went on while the server was away: it moved as far as the clock did, not less by
    # the outage, counted round its loop. The sink's buffering and a busy machine's late clock
    # readings give or take some tenths of a second.
    awk -v p0="$before" -v p1="$position" -v t0="$beforeAt" -v t1="$positionAt" -v loop="$loop" 'BEGIN {
        moved = p1 - p0; elapsed = (t1 - t0) / 1e9
        printf "the tune moved %.2f s in %.2f s across the outage (it loops every %.2f s)\n", moved, elapsed, loop
        off = (moved - elapsed) % loop; if (off < 0) off += loop; if (off > loop / 2) off -= loop
        exit !(off > -1 && off < 1) }' ||
        fail "the tune did not go on where it would have been"
}

# 'a' silences the tune, and the stream goes.
check_music_off() {
    xdotool key --clearmodifiers a
    silent_after "$(recorded)" "'a'"
    wait_for "the stream to be released with the music off" 20 no_stream
}

# No server when the game starts: it says so in one line, and the music begins once one is
# there. Sets late to the nanoseconds from the server's start to the tune at the sink.
check_late_server() {
    stop_server
    start_game
    wait_for "the game to say there is no audio" 10 said "the music starts when a sound server answers"
    # The round must have begun for the music to be wanted: on a busy machine the first click can
    # come before the window takes input, so it is given again until the round shows.
    local before
    before=$(bottom_strip)
    wait_for "a round without a sound server" 30 click_until_round "$before"
    # Long enough for a few tries in vain, quietly.
    sleep 3
    start_server again
    local started
    started=$(date +%s%N)
    wait_for "the tune once the server was started" 30 music_heard
    late=$(($(date +%s%N) - started))
    said "found a sound device ($server)" || fail "the game did not say it found the sound device"
    local lines
    lines=$(grep -c "^hearthly: " "$work/game.log" || true)
    ((lines == 2)) || fail "the game said $lines lines about sound instead of two"
    quit_game
}

# The whole visit: a round, a pause, an outage, the music off, and a game that starts before its
# server. Prints one line of figures.
check_sound_server() {
    render_round_tune
    start_x 1280x1024
    start_wm
    start_server first
    start_game
    check_round
    check_pause
    check_outage
    check_music_off
    quit_game
    check_late_server
    awk -v name="$(basename "$0" .sh)" -v r="$round" -v back="$((back / 1000000))" \
        -v late="$((late / 1000000))" 'BEGIN {
        printf "%s: all checks passed (round RMS %.0f; music back %.1f s after the server; " \
            "%.1f s after a server started late)\n", name, r, back / 1000, late / 1000 }'
}
