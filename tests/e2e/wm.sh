# Shared by the end-to-end scripts (sourced): a real window manager on the
# X server in DISPLAY, and the geometry of the windows it frames, read from
# the X server itself (xwininfo, xprop). Needs openbox and x11-utils.
#
# xdotool getwindowgeometry is not used for this: under a reparenting window
# manager it adds the client's offset inside the frame to the client's own
# position, which is neither the client's place nor the frame's.

wm_pid=

# Starts openbox on DISPLAY, with its default configuration and a home
# folder of its own, and waits until it manages the screen.
start_window_manager() {
    stop_window_manager
    local wm_home
    wm_home=$(mktemp -d)
    HOME=$wm_home openbox --sm-disable >"$wm_home/openbox.log" 2>&1 &
    wm_pid=$!
    local tries=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$wm_pid" 2>/dev/null; then
            echo "openbox did not start"
            cat "$wm_home/openbox.log"
            return 1
        fi
        sleep 0.1
    done
}

stop_window_manager() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    wm_pid=
}

# "WIDTH HEIGHT" of the screen.
screen_size() {
    xwininfo -root | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }'
}

# "X Y WIDTH HEIGHT" of the part of the screen that windows may take: what
# the window manager leaves of it (panels aside), the whole screen without one.
work_area() {
    local area
    area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.* = //p' | awk -F', ' '{ print $1, $2, $3, $4 }')
    if [ -n "$area" ]; then
        echo "$area"
    else
        echo "0 0 $(screen_size)"
    fi
}

# The window that holds WINDOW directly below the root window: the frame a
# window manager has put around it (the window itself when there is none).
frame_window() {
    local window=$1 root parent
    root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
    while parent=$(xwininfo -id "$window" -tree | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
        [ -n "$parent" ] && [ "$((parent))" -ne "$((root))" ]; do
        window=$parent
    done
    echo "$window"
}

# "X Y WIDTH HEIGHT" of a window as it stands on the screen, its border
# included.
outer_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } /Border width:/ { b = $3 }
        END { print x - b, y - b, w + 2 * b, h + 2 * b }'
}

# "X Y WIDTH HEIGHT" of WINDOW's frame: title bar and borders included.
frame_geometry() {
    outer_geometry "$(frame_window "$1")"
}

# Succeeds when the whole frame of WINDOW lies in the work area; says where
# it lies otherwise.
frame_on_screen() {
    local x y w h area_x area_y area_w area_h
    read -r x y w h < <(frame_geometry "$1")
    read -r area_x area_y area_w area_h < <(work_area)
    if [ "$x" -ge "$area_x" ] && [ "$y" -ge "$area_y" ] &&
        [ $((x + w)) -le $((area_x + area_w)) ] && [ $((y + h)) -le $((area_y + area_h)) ]; then
        return 0
    fi
    echo "  the frame lies at $x,$y, $w x $h; the work area at $area_x,$area_y, $area_w x $area_h"
    return 1
}

# Waits up to 5 seconds for WINDOW's frame to change from "X Y WIDTH HEIGHT"
# and then to hold still for half a second.
wait_for_new_frame() {
    local window=$1 before=$2 tries=0 now
    while [ "$(frame_geometry "$window")" = "$before" ] && [ $tries -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    now=$(frame_geometry "$window")
    while sleep 0.5 && [ "$(frame_geometry "$window")" != "$now" ]; do
        now=$(frame_geometry "$window")
        tries=$((tries + 5))
        [ $tries -lt 100 ] || break
    done
}
