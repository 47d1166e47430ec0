#!/usr/bin/env bash
# The real game in a real window: starts hearthly on a private X server with a window manager,
# looks at the window, types into it, drags its size and quits it, as a player would.
#
# Usage: window_e2e.sh <hearthly> <hearthly-replay> <test data dir>
set -euo pipefail

# shellcheck source=lib/session.sh
source "$(dirname "$0")/lib/session.sh"

# The first window whose title is exactly the given one. (xdotool's own search misses titles
# stored as UTF8_STRING, as SDL's message box stores them.)
window_named() { xwininfo -root -tree 2>/dev/null | grep -F " \"$1\": " | awk '{ print $1; exit }'; }
has_window() { [[ -n $(window_named "$1") ]]; }
has_no_window() { [[ -z $(window_named "$1") ]]; }

client_size() {
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
    echo "${WIDTH}x${HEIGHT}"
}
size_is() { [[ $(client_size "$1") == "$2" ]]; }
# The client area as WxH+X+Y on the screen, as the X server has it (xdotool's positions count
# the frame twice under some window managers).
placement() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h "+" x "+" y }'
}
placement_is() { [[ $(placement "$1") == "$2" ]]; }
title_is() { xprop -id "$1" _NET_WM_NAME | grep -qF "= \"$2\""; }
# Whether the picture's black bars are equally wide on the left and right (within a pixel or
# two of rounding) and at least the given width: the world is centred.
bars_even() {
    import -window "$game" "$work/bars.png" || return 1
    local geometry
    geometry=$(convert "$work/bars.png" -fuzz 4% -trim -format '%W %X %w' info:) || return 1
    awk -v g="$geometry" -v least="$1" 'BEGIN {
        split(g, v, " "); left = v[2] + 0; right = v[1] - left - v[3]
        d = left - right; if (d < 0) d = -d
        exit !(d <= 2 && left >= least) }'
}


# How often the game's main thread has gone to sleep so far: the frame timer alone makes it
# a hundred times a second.
wake_ups() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$gamePid/status"; }

start_game() {
    "$hearthly" >"$work/game.log" 2>&1 &
    gamePid=$!
    show_game
}

# Waits for the game to end and checks its exit status.
expect_exit() {
    local how=$1
    wait_for "hearthly to end after $how" 10 game_ended
    local status=0
    wait "$gamePid" || status=$?
    gamePid=
    ((status == 0)) || fail "hearthly ended with status $status after $how"
}

# A private X server on a free display, and a window manager: minimising and keyboard focus
# only exist with one.
# The screen is 16:9, wider than the world, as most are.
start_x 1920x1080
# Its keys: Alt+F4 closes the focused window and Alt+F10 maximises and restores it; the left
# button drags the border's bottom-right corner.
cat >"$work/rc.xml" <<'RC'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <keyboard>
    <keybind key="A-F4"><action name="Close"/></keybind>
    <keybind key="A-F10"><action name="ToggleMaximize"/></keybind>
  </keyboard>
  <mouse>
    <dragThreshold>1</dragThreshold>
    <context name="BRCorner">
      <mousebind button="Left" action="Press"><action name="Focus"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Resize"/></mousebind>
    </context>
  </mouse>
</openbox_config>
RC
start_wm --config-file "$work/rc.xml"

# --- The window appears at its size and shows the game --------------------------------------
start_game
size_is "$game" 800x584 || fail "the client area is $(client_size "$game"), not 800x584"
# The icon may reach the window a moment after it is shown.
wait_for "the game's icon on the window" 5 sh -c "xprop -id $game _NET_WM_ICON | grep -q 'Icon (64 x 64)'"
screen=$(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')

# The speed buttons stand at (190, 350), (273, 350) and (350, 350) of the 800 x 584 world. Their
# strip must differ from the plain background above them once the game has drawn.
buttons_drawn() {
    import -window "$game" "$work/shot.png" || return 1
    local strip sky
    strip=$(convert "$work/shot.png" -crop 230x40+185+345 +repage -format '%[fx:standard_deviation]' info:)
    sky=$(convert "$work/shot.png" -crop 230x40+185+5 +repage -format '%[fx:mean]' info:)
    awk -v s="$strip" 'BEGIN { exit !(s > 0.02) }' && [[ -n $sky ]]
}
wait_for "the speed buttons to be drawn" 10 buttons_drawn

# --- The pointer: the walkway under it lights up ----------------------------------------------
# Mean brightness of a band of the window: the basement floor runs along y = 575 of the world.
basement_brightness() {
    import -window "$game" "$work/hover.png" &&
        convert "$work/hover.png" -crop 300x30+250+560 +repage -format '%[fx:mean]' info:
}
basement_lit() { awk -v now="$(basement_brightness)" -v before="$1" 'BEGIN { exit !(now > before + 0.03) }'; }
xdotool mousemove --window "$game" 400 300
sleep 0.5
unlit=$(basement_brightness)
xdotool mousemove --window "$game" 400 572
wait_for "the basement floor to light up under the pointer" 10 basement_lit "$unlit"

# --- Full screen with F11 and with Alt+Enter, and back to the same size and place -------------
for keys in F11 alt+Return; do
    windowed=$(placement "$game")
    xdotool key --clearmodifiers "$keys"
    wait_for "$keys to fill the screen" 10 placement_is "$game" "$screen+0+0"
    # The screen is wider than the world: it stands in the middle, the bars split evenly.
    wait_for "the world to be centred in full screen after $keys" 10 bars_even 100
    xdotool key --clearmodifiers "$keys"
    wait_for "$keys to bring back the window at $windowed" 10 placement_is "$game" "$windowed"
    sleep 0.6
    placement_is "$game" "$windowed" || fail "after full screen the window moved to $(placement "$game")"
done
buttons_drawn || fail "the buttons are gone after full screen"

# --- Pause shows in the title ---------------------------------------------------------------
xdotool key --clearmodifiers p
wait_for "the title to say paused" 10 title_is "$game" "Hearthly (paused; F1: help)"
xdotool key --clearmodifiers p
wait_for "the title to be Hearthly again" 10 title_is "$game" "Hearthly (F1: help)"

# --- Typed characters: capitals do nothing, 'h' shows the About box -------------------------
xdotool key --clearmodifiers shift+q
sleep 0.3
game_running || fail "'Q' ended the game"

# The box leaves the game running, and Enter, Esc and its button each close it.
for closer in Return Escape button; do
    xdotool key --clearmodifiers h
    wait_for "the About box" 10 has_window "About the game Hearthly"
    about=$(window_named "About the game Hearthly")
    before=$(wake_ups)
    sleep 1
    after=$(wake_ups)
    ((after - before >= 50)) || fail "with the About box open the game woke only $((after - before)) times in a second"
    xdotool windowactivate --sync "$about"
    if [[ $closer == button ]]; then
        # The OK button sits in the middle of the box's bottom edge.
        read -r aw ah ax ay < <(placement "$about" | tr 'x+' '  ')
        xdotool mousemove $((ax + aw / 2)) $((ay + ah - 35)) click 1
    else
        xdotool key --clearmodifiers "$closer"
    fi
    wait_for "the About box to close with $closer" 10 has_no_window "About the game Hearthly"
    game_running || fail "closing the About box with $closer ended the game"
done
xdotool windowactivate --sync "$game"

# --- Dragging the border: the client area returns to the 800 : 584 aspect --------------------
# Wider: the height follows the width (1000 x 0.73 = 730).
xdotool windowsize "$game" 1000 584
wait_for "1000x584 to become 1000x730" 10 size_is "$game" 1000x730
# Only taller: the width follows the height (800 x 1.3698... = 1095).
xdotool windowsize "$game" 1000 800
wait_for "1000x800 to become 1095x800" 10 size_is "$game" 1095x800
# A quick burst of sizes is one drag, measured from where it started. Taken one by one, the
# wider step would be corrected first and the last step would then change the width; as one
# drag from 1095 x 800 only the height changed (700 x 1.3698... = 958). The button held on the
# bare desktop meanwhile keeps the two sizes one drag however slowly a loaded machine delivers
# them; the drag ends when it is let go.
xdotool mousemove 1919 1079 mousedown 1
xdotool windowsize "$game" 1400 600 sleep 0.05 windowsize "$game" 1095 700
wait_for "the burst to reach 1095x700" 10 size_is "$game" 1095x700
xdotool mouseup 1
wait_for "the burst ending at 1095x700 to become 958x700" 10 size_is "$game" 958x700
# Within the 1 % tolerance nothing changes.
xdotool windowsize "$game" 802 584
sleep 0.6
size_is "$game" 802x584 || fail "a size within the tolerance was changed to $(client_size "$game")"
buttons_drawn || fail "the buttons are gone after the resizes"

# --- A drag ends when the button is let go, not when the pointer stops ----------------------
# The border's bottom-right corner, grabbed with the left button, moved 100 to the left and 20
# down, then held still for over a second: the window keeps the dragged size while the button
# is down, and on release only then takes the proportions, from the width the drag set.
read -r w h x y < <(placement "$game" | tr 'x+' '  ')
xdotool mousemove $((x + w - 2)) $((y + h + 2)) mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove_relative -- -10 2
    sleep 0.03
done
wait_for "the drag to reach $((w - 100))x$((h + 20))" 10 size_is "$game" "$((w - 100))x$((h + 20))"
sleep 1.2
held=$(client_size "$game")
xdotool mouseup 1
[[ $held == "$((w - 100))x$((h + 20))" ]] || fail "while the button was held the window became $held"
fitted="$((w - 100))x$(((w - 100) * 73 / 100))"
wait_for "the released drag to become $fitted" 10 size_is "$game" "$fitted"
sleep 0.6
size_is "$game" "$fitted" || fail "after the drag the window went on to $(client_size "$game")"
xdotool windowsize "$game" 802 584
wait_for "the window to return to 802x584" 10 size_is "$game" 802x584

# --- Maximised, the window keeps the size it is given -----------------------------------------
maximised() { xprop -id "$game" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }
xdotool key --clearmodifiers alt+F10
wait_for "the window to be maximised" 10 maximised
sleep 0.6
fullSize=$(client_size "$game")
awk -v s="$fullSize" 'BEGIN { split(s, d, "x"); r = d[1] / d[2]; exit !((r - 800 / 584) ^ 2 > 0.0004) }' ||
    fail "the maximised window was changed to the game's proportions: $fullSize"
wait_for "the world to be centred in the maximised window" 10 bars_even 100
xdotool key --clearmodifiers alt+F10
wait_for "the window to be restored to 802x584" 10 size_is "$game" 802x584
sleep 0.6
size_is "$game" 802x584 || fail "the restored window was changed to $(client_size "$game")"

# --- Minimised, the game does not run nor wake up----------------------------------------------------
xdotool windowminimize --sync "$game"
sleep 0.3
before=$(wake_ups)
sleep 1
after=$(wake_ups)
((after - before <= 10)) || fail "minimised, the game still woke up $((after - before)) times in a second"
xdotool windowactivate --sync "$game"
wait_for "the window to be restored" 10 sh -c "xwininfo -id $game | grep -q IsViewable"
game_running || fail "restoring the window ended the game"

# --- Sizes asked for by others: never off the screen, never next to nothing ------------------
# Far too wide and flat: the proportions come back, and the whole window, frame included,
# stays on the screen.
on_screen_in_proportion() {
    local w h x y left right top bottom
    read -r w h x y < <(placement "$game" | tr 'x+' '  ')
    read -r left right top bottom < <(xprop -id "$game" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    awk -v w="$w" -v h="$h" 'BEGIN { r = w / h; exit !((r - 800 / 584) ^ 2 < 0.0002) }' &&
        ((x - left >= 0 && y - top >= 0 && x + w + right <= ${screen%x*} && y + h + bottom <= ${screen#*x}))
}
xdotool windowsize "$game" 3000 10
wait_for "3000x10 to become a window on the screen in the game's proportions" 10 on_screen_in_proportion
sleep 0.6
on_screen_in_proportion || fail "the window went on to $(placement "$game")"
# Far too small: the smallest size the game allows, in its proportions.
xdotool windowsize "$game" 1 1
wait_for "1x1 to become 200x146" 10 size_is "$game" 200x146
sleep 0.6
size_is "$game" 200x146 || fail "the smallest window went on to $(client_size "$game")"

# --- 'q' quits with status 0 ------------------------------------------------------------------
xdotool key --clearmodifiers q
expect_exit "'q'"

# --- So do Esc and the window manager's close -------------------------------------------------
start_game
xdotool key --clearmodifiers Escape
expect_exit "Esc"

start_game
xdotool key --clearmodifiers alt+F4
expect_exit "closing the window"

echo "window_e2e: all checks passed"
