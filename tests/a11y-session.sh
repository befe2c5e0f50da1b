#!/usr/bin/env bash
# Runs a command as a screen reader user's desktop would run it: on a real X
# server, in a D-Bus session with the accessibility bus started, with Qt's
# AT-SPI bridge switched on.
#
#   a11y-session.sh COMMAND [ARGUMENT...]
set -euo pipefail
case "${ZENTROVA_A11Y_STAGE:-}" in
"")
    # The accessibility bus announces itself on the X server, so the server
    # comes first.
    export ZENTROVA_A11Y_STAGE=x
    exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp -noreset" bash "$0" "$@"
    ;;
x)
    export ZENTROVA_A11Y_STAGE=session
    exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
    ;;
esac
# The bus is started on demand. Its address is also put where Qt looks for
# it first, on the X server's root window: found on the session bus only,
# Qt 5.15 registers with the bus before it has connected to it, and a
# screen reader never sees the program.
address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress | tr -d ' ')
xprop -root -f AT_SPI_BUS 8s -set AT_SPI_BUS "$address"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
exec "$@"
