#!/usr/bin/env bash
# CPU of the game and of the sound server in the menu, during a round and paused, with the music
# going to a real PulseAudio server (a null sink), in a window on X11 or natively on Wayland
# (weston drawing into a private X server, whose CPU is shown too). Each figure is the share of
# one core over the span.
#
# Usage: bench/sound_cpu.sh <hearthly> [x11|wayland] [seconds]   (default x11, 10)
set -euo pipefail

hearthly=$(realpath "$1")
windowing=${2:-x11}
seconds=${3:-10}
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

cpu_ticks() { if [[ -n $1 ]]; then awk '{ print $14 + $15 }' "/proc/$1/stat"; else echo 0; fi; }
westonPid=
export HOME=$work/home XDG_RUNTIME_DIR=$work/run PULSE_SERVER=unix:$work/pulse.socket
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset SDL_AUDIODRIVER

# A little larger than weston's window, so that the pointer can come into it from outside (weston
# follows the pointer only after that).
Xvfb -displayfd 3 -screen 0 1100x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
until [[ -s $work/display ]]; do sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")"

pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
    --load="module-null-sink sink_name=bench_sink" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.socket" >/dev/null 2>&1 &
pulsePid=$!
pids+=("$pulsePid")
until pactl info >/dev/null 2>&1; do sleep 0.05; done

if [[ $windowing == wayland ]]; then
    weston --backend=x11-backend.so --use-pixman --no-config --idle-time=0 --socket=bench \
        --width=1024 --height=768 --log="$work/weston.log" >/dev/null 2>&1 &
    westonPid=$!
    pids+=("$westonPid")
    until [[ -S $XDG_RUNTIME_DIR/bench ]]; do sleep 0.05; done
    sleep 1
    # Keys typed into the X server go to the compositor's window, which passes them on.
    xdotool windowfocus "$(xwininfo -root -tree | grep -F '"Weston Compositor' | awk '{ print $1; exit }')"
    xdotool mousemove 1090 790 sleep 0.2 mousemove 600 15
    (cd "$work" && exec env -u DISPLAY WAYLAND_DISPLAY=bench "$hearthly") >"$work/game.log" 2>&1 &
    gamePid=$!
    pids=("$gamePid" "${pids[@]}")
    sleep 3
    # The game's window is where the black night sky is (below the compositor's panel).
    import -window root "$work/screen.png"
    area=$(convert "$work/screen.png" -crop 1024x728+0+40 -fill white +opaque black -trim -format '%X %Y' info:)
    read -r left top <<<"${area//+/}"
    click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; }
else
    (cd "$work" && exec "$hearthly") >"$work/game.log" 2>&1 &
    gamePid=$!
    pids=("$gamePid" "${pids[@]}")
    game=$(xdotool search --sync --onlyvisible --pid "$gamePid" | head -n 1)
    click() { xdotool mousemove --window "$game" "$1" "$2" click 1; }
fi

measure() {
    local c0 p0 w0 t0 c1 p1 w1 t1
    c0=$(cpu_ticks "$gamePid")
    p0=$(cpu_ticks "$pulsePid")
    w0=$(cpu_ticks "$westonPid")
    t0=$(date +%s.%N)
    sleep "$seconds"
    c1=$(cpu_ticks "$gamePid")
    p1=$(cpu_ticks "$pulsePid")
    w1=$(cpu_ticks "$westonPid")
    t1=$(date +%s.%N)
    awk -v what="$1" -v c=$((c1 - c0)) -v p=$((p1 - p0)) -v wc=$((w1 - w0)) -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" \
        -v streams="$(pactl list short sink-inputs | grep -c . || true)" -v w="$windowing" 'BEGIN {
        t = t1 - t0
        printf "%-8s %-6s game %5.1f %%  pulseaudio %5.1f %%  streams %d", w, what, 100 * c / hz / t, 100 * p / hz / t, streams
        if (w == "wayland") printf "  weston %5.1f %%", 100 * wc / hz / t
        printf "\n" }'
}

# Settled in the menu: the game's own start-up and any idle stream's release are over.
sleep 5
measure menu
# "Slow" stands at (190, 350) of the 800 x 584 world; the socks need a few seconds to settle.
click 205 362
sleep 3
measure round
xdotool key p
sleep 5
measure paused
