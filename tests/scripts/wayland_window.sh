#!/usr/bin/env bash
# The game as a native Wayland client: a real compositor (weston, drawing its desktop into a
# window of a private X server, which gives it a seat for the pointer and keyboard) shows the
# game's frames, a click starts a round, F11 fills the screen and brings the window back, SIGTERM
# ends the game with status 0; and where no window surface can be had, the game says so in one
# line and ends with the window-failure status.
#
# Weston's headless backend has no seat, and SDL 2.26 crashes in SDL_Init against it, so the X11
# backend is used.
#
# Usage: wayland_window.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"

command -v weston >/dev/null || fail "weston is missing (scripts/install-deps installs it)"

# SDL 2.26's Wayland backend leaves its window's decoration frame and what modules it unloads
# again allocated at exit, which no suppression can name; in a sanitizer build the leak check is
# left to the X11 window tests, which run the same game.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# The X screen is a little larger than the compositor's window, so that the pointer can start
# outside it: the compositor follows the pointer only after it has seen it come in.
start_x 1100x800

export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The compositor fills the X screen; its own pixman renderer needs no OpenGL.
weston --backend=x11-backend.so --use-pixman --no-config --idle-time=0 --socket=hearthly-test \
    --width=1024 --height=768 --log="$work/weston.log" >/dev/null 2>&1 &
wmPid=$!
tries=200
until [[ -S $XDG_RUNTIME_DIR/hearthly-test ]]; do
    if ! kill -0 "$wmPid" 2>/dev/null || ((--tries == 0)); then
        echo "SKIP: weston does not start here:" >&2
        tail -n 5 "$work/weston.log" >&2
        exit 77
    fi
    sleep 0.05
done
sleep 1 # the desktop shell draws its background and panel
# Keys typed into the X server go to the compositor's window, which passes them on.
xdotool windowfocus "$(xwininfo -root -tree | grep -F '"Weston Compositor' | awk '{ print $1; exit }')"
xdotool mousemove 1090 790 sleep 0.2 mousemove 600 15

# The game's window on the compositor's desktop, as WxH+X+Y: the night sky around the house is
# black, the desktop behind it is not (the panel along the top, with the pointer, is left out).
game_area() {
    import -window root "$work/screen.png" &&
        convert "$work/screen.png" -crop 1024x728+0+40 -fill white +opaque black -trim -format '%wx%h%O' info:
}
shows_game() {
    local area
    area=$(game_area) || return 1
    [[ $area =~ ^([0-9]+)x([0-9]+) ]] && ((BASH_REMATCH[1] >= 780 && BASH_REMATCH[2] >= 560))
}
# Spread of the brightness where the speed buttons stand: their light text on the night sky in
# the menu, gone once a round runs.
buttons() {
    import -window root "$work/shot.png" &&
        convert "$work/shot.png" -crop "300x40+$((left + 185))+$((top + 335))" +repage \
            -format '%[fx:standard_deviation]' info:
}
buttons_gone() { awk -v now="$(buttons)" -v before="$1" 'BEGIN { exit !(now < before - 0.02) }'; }

# Natively: no X display for the game to fall back on.
start_game() {
    env -u DISPLAY WAYLAND_DISPLAY=hearthly-test SDL_AUDIODRIVER=dummy "$@" "$hearthly" >"$work/game.log" 2>&1 &
    gamePid=$!
}

# --- A round on Wayland, and SIGTERM --------------------------------------------------------------
start_game
wait_for "the game's frame on the compositor" 20 shows_game
area=$(game_area)
[[ $area =~ \+([0-9]+)\+([0-9]+)$ ]]
left=${BASH_REMATCH[1]}
top=${BASH_REMATCH[2]}
cp "$work/screen.png" "$work/menu.png"
before=$(buttons)
# "Slow" stands at (190, 350) of the 800 x 584 world.
xdotool mousemove $((left + 200)) $((top + 360)) sleep 0.3 mousemove $((left + 205)) $((top + 362)) sleep 0.3 click 1
wait_for "the round to start (the speed buttons to go)" 10 buttons_gone "$before"
game_running || fail "the game ended as the round started"
sleep 2
game_running || fail "the game ended during the round"
# Full screen and back: the frames follow the window's new sizes.
wide() { [[ $(game_area) =~ ^([0-9]+)x ]] && ((BASH_REMATCH[1] >= 1000)); }
narrow() { [[ $(game_area) =~ ^([0-9]+)x([0-9]+) ]] && ((BASH_REMATCH[1] < 900 && BASH_REMATCH[2] >= 560)); }
xdotool key F11
wait_for "the game to fill the screen" 10 wide
xdotool key F11
wait_for "the game back in its window" 10 narrow
kill -TERM "$gamePid"
wait_for "hearthly to end after SIGTERM" 10 game_ended
status=0
wait "$gamePid" || status=$?
gamePid=
((status == 0)) || fail "hearthly ended with status $status after SIGTERM"

# --- No window surface: said once, and the game ends ----------------------------------------------
# SDL's own surface, which the game uses on Wayland only when asked to, has none with this.
start_game HEARTHLY_WAYLAND_SURFACE=sdl SDL_FRAMEBUFFER_ACCELERATION=0
wait_for "hearthly to give up without a window surface" 20 game_ended
status=0
wait "$gamePid" || status=$?
gamePid=
((status == 1)) || fail "without a window surface hearthly ended with status $status instead of 1"
said=$(grep -c "cannot draw into the window" "$work/game.log" || true)
((said == 1)) || fail "without a window surface hearthly said so $said times"

echo "wayland_window: all checks passed (game at $area on weston)"
