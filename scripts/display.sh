# Sourced by the test, benchmark and screenshot scripts: a virtual display of their own, at 96 DPI
# and 1920 x 1080 unless DISPLAY_SIZE says otherwise, with a window manager on it, as every desktop
# has one.
#   start_display [--no-window-manager]   exports DISPLAY
#   stop_display                           ends what start_display started

start_display() {
    # The server makes the folder of display sockets where the machine has none yet; it goes again
    # with the display.
    [ -d /tmp/.X11-unix ] && _display_socket_dir="" || _display_socket_dir=/tmp/.X11-unix
    # -displayfd: the server takes the first free display itself and writes its number once it
    # takes connections, so two runs started at once never pick the same one. -noreset: without it
    # the server resets whenever its last client leaves and refuses the connections made meanwhile,
    # which no real desktop does.
    _display_number_file=$(mktemp)
    Xvfb -displayfd 1 -screen 0 "${DISPLAY_SIZE:-1920x1080}x24" -dpi 96 -nolisten tcp -noreset \
        >"$_display_number_file" 2>/dev/null &
    _display_xvfb=$!
    # Bounded generously: a busy machine starts it slowly.
    for _ in $(seq 600); do
        [ -s "$_display_number_file" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(cat "$_display_number_file")"
    rm -f "$_display_number_file"
    if [ "${1:-}" != --no-window-manager ]; then
        # Its configuration and cache stay in a folder of its own, not in the caller's home.
        _display_wm_home=$(mktemp -d)
        XDG_CONFIG_HOME="$_display_wm_home" XDG_CACHE_HOME="$_display_wm_home" \
            openbox --sm-disable >/dev/null 2>&1 &
        _display_wm=$!
        for _ in $(seq 600); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
    fi
}

stop_display() {
    if [ -n "${_display_wm:-}" ]; then kill "$_display_wm" 2>/dev/null || true; fi
    if [ -n "${_display_xvfb:-}" ]; then kill "$_display_xvfb" 2>/dev/null || true; fi
    if [ -n "${_display_wm:-}" ]; then wait "$_display_wm" 2>/dev/null || true; fi
    if [ -n "${_display_xvfb:-}" ]; then wait "$_display_xvfb" 2>/dev/null || true; fi
    if [ -n "${_display_wm_home:-}" ]; then rm -rf "$_display_wm_home"; fi
    if [ -n "${_display_socket_dir:-}" ]; then rmdir "$_display_socket_dir" 2>/dev/null || true; fi
    _display_wm="" _display_xvfb="" _display_wm_home="" _display_socket_dir=""
}
