#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not yet
# installed. Sourced by the build scripts so that a fresh Debian 12 machine
# needs nothing done by hand.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building the program needs.
BUILD_PACKAGES=(g++ cmake ninja-build qtbase5-dev qtbase5-dev-tools libqwt-qt5-dev libqt5sql5-sqlite libqt5sql5-psql
    fonts-dejavu-core)
# What the tests need besides: a real X server, key events, a window manager
# (openbox) and the X server's own view of window geometry (x11-utils) for
# the end-to-end suite; a D-Bus session, the accessibility bus and an AT-SPI
# client for what a screen reader hears; and Mesa's GL libraries as on any
# desktop, so that the sanitizer run meets them as a user's machine has them;
# the checkers of the package and its desktop files; and a PostgreSQL
# server, of which the history suite starts a throw-away cluster of its own.
TEST_PACKAGES=(xvfb xauth xdotool xclip openbox libx11-dev dbus-daemon dbus-bin x11-utils at-spi2-core python3-pyatspi
    libglx-mesa0 libgl1-mesa-dri
    lintian desktop-file-utils appstream
    poppler-utils sqlite3
    postgresql)
