#!/usr/bin/env bash
# CPU of the whole game while a round runs in its real window at the world's own size, the
# tune playing: the share of one core a player's machine gives it. The sound goes to SDL's
# file driver in a scratch folder, so the synthesiser works as it would for a sound card.
#
# Usage: bench/round_cpu.sh <hearthly> [seconds] [settle]   (default 10 and 3)
# settle: seconds from the click on "Slow" to the start of the measurement. The game renders
# its tune once in its first seconds (2 to 4 s of a core, longer on a busy machine); give it 15
# so that this one-off work stays out of what is measured.
set -euo pipefail

hearthly=$(realpath "$1")
seconds=${2:-10}
settle=${3:-3}
work=$(mktemp -d)
xvfbPid=
gamePid=
cleanup() {
    local pid
    for pid in $gamePid $xvfbPid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfbPid=$!
until [[ -s $work/display ]]; do sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")"

(cd "$work" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/sound.raw" exec "$hearthly") >/dev/null 2>&1 &
gamePid=$!
game=$(xdotool search --sync --onlyvisible --pid "$gamePid" | head -n 1)
sleep 2
# "Slow" starts a round; the figures and socks need a few seconds to settle.
xdotool mousemove --window "$game" 205 362 click 1
sleep "$settle"
c0=$(cpu_ticks "$gamePid")
s0=$(stat -c %s "$work/sound.raw" 2>/dev/null || echo 0)
t0=$(date +%s.%N)
sleep "$seconds"
c1=$(cpu_ticks "$gamePid")
s1=$(stat -c %s "$work/sound.raw" 2>/dev/null || echo 0)
t1=$(date +%s.%N)
awk -v c="$((c1 - c0))" -v s="$((s1 - s0))" -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" \
    -v load="$(cut -d ' ' -f 1 /proc/loadavg)" 'BEGIN {
        t = t1 - t0
        printf "round at 800 x 584 with the tune: game CPU %.1f %% of a core over %.0f s, " \
            "%.0f kB of sound a second, load average %s\n", 100 * c / hz / t, t, s / t / 1000, load }'
