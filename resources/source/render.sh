#!/usr/bin/env bash
# Renders the pictures from their SVG sources. Needs librsvg2-bin (rsvg-convert)
# and, for the Windows file icon, imagemagick. Run it after changing a source;
# the PNGs and the icon are committed so that a build needs neither tool.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(dirname "$here")
render() { rsvg-convert --width "$2" --height "$2" --format png "$here/$1" --output "$out/$3"; }
render zentrova.svg 64 icons/zentrova.png
render meter.svg 196 images/meter.png
render settings_22x22.svg 22 gui/settings_22x22.png
render add_22x22.svg 22 gui/add_22x22.png
render remove_22x22.svg 22 gui/remove_22x22.png
# One 64 x 64 image at 32 bits per pixel.
convert "$out/icons/zentrova.png" -define icon:auto-resize=64 "$out/icons/zentrova.ico"
