#!/usr/bin/env bash
# Frames per second and CPU of the real game full screen during earthquakes, in a real window
# on a private X server: the figures the benchmarks cannot give, as they leave out the copy to
# the screen. Counts the frames the game hands to SDL through a small preloaded counter.
#
# Usage: bench/window_speed.sh <hearthly> [WIDTHxHEIGHT...]   (default 1920x1080 3840x2160)
set -euo pipefail

here=$(dirname "$0")
# The private X server, the window manager and the clean-up are the window tests' own.
# shellcheck source=../tests/scripts/lib/session.sh
source "$here/../tests/scripts/lib/session.sh" "$(realpath "$1")" "" "$here/../tests/data"
shift
sizes=("$@")
((${#sizes[@]})) || sizes=(1920x1080 3840x2160)

# The counter: each frame shown adds one to a number kept in a shared file, read from outside.
# A frame is one SDL_UpdateWindowSurfaceRects call (SDL's window surface), or one shared-memory
# put that asks for the server's answer (the game's own way on X11: one per frame).
cat >"$work/count.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>
static volatile long* counter;
static void count(void) {
    if (!counter) {
        int fd = open(getenv("FRAME_COUNT_FILE"), O_RDWR);
        counter = mmap(0, sizeof(long), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
    }
    ++*counter;
}
int SDL_UpdateWindowSurfaceRects(void* window, const void* rects, int count_) {
    static int (*real)(void*, const void*, int);
    if (!real)
        real = (int (*)(void*, const void*, int))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects");
    count();
    return real(window, rects, count_);
}
typedef int (*PutImage)(void*, unsigned long, void*, void*, int, int, int, int, unsigned, unsigned, int);
int XShmPutImage(void* d, unsigned long w, void* gc, void* image, int sx, int sy, int dx, int dy, unsigned width,
                 unsigned height, int sendEvent) {
    static PutImage real;
    if (!real)
        real = (PutImage)dlsym(RTLD_NEXT, "XShmPutImage");
    if (sendEvent)
        count();
    return real(d, w, gc, image, sx, sy, dx, dy, width, height, sendEvent);
}
C
cc -shared -fPIC -O2 -o "$work/count.so" "$work/count.c" -ldl
frames() { od -An -t d8 -N 8 "$work/frames" | tr -d ' '; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

for size in "${sizes[@]}"; do
    start_x "$size"
    # The next size's server writes its display number anew.
    : >"$work/display"
    start_wm
    head -c 8 /dev/zero >"$work/frames"
    FRAME_COUNT_FILE="$work/frames" LD_PRELOAD="$work/count.so" "$hearthly" >/dev/null 2>&1 &
    gamePid=$!
    show_game
    xdotool windowactivate --sync "$game" key F11
    sleep 1.5
    client=$(xwininfo -id "$game" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    # Quakes one after the other: 'e' asks for the next one as soon as the last is over.
    (for _ in $(seq 200); do xdotool key e; sleep 0.03; done) &
    keys=$!
    sleep 1
    f0=$(frames)
    c0=$(cpu_ticks "$gamePid")
    x0=$(cpu_ticks "$xvfbPid")
    t0=$(date +%s.%N)
    sleep 4
    f1=$(frames)
    c1=$(cpu_ticks "$gamePid")
    x1=$(cpu_ticks "$xvfbPid")
    t1=$(date +%s.%N)
    wait "$keys"
    awk -v size="$size" -v client="$client" -v f="$((f1 - f0))" -v c="$((c1 - c0))" -v x="$((x1 - x0))" \
        -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" -v load="$(cut -d ' ' -f 1 /proc/loadavg)" 'BEGIN {
            t = t1 - t0
            printf "%s full screen (client %s), quake: %.1f frames/s, game CPU %.0f %% of a core " \
                "(%.1f ms a frame), X server CPU %.0f %%, load average %s\n",
                size, client, f / t, 100 * c / hz / t, 1000 * c / hz / (f > 0 ? f : 1), 100 * x / hz / t, load }'
    kill "$gamePid" "$wmPid" "$xvfbPid"
    wait "$gamePid" "$wmPid" "$xvfbPid" 2>/dev/null || true
    gamePid= wmPid= xvfbPid=
done
