#!/usr/bin/env bash
# Renders the pictures from their SVG sources. Needs librsvg2-bin (rsvg-convert)
# and, for the Windows file icon, imagemagick. Run it after changing a source;
# the PNGs and the icon are committed so that a build needs neither tool.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(dirname "$here")
render() { rsvg-convert --width "$2" --height "$2" --format png "$here/$1" --output "$out/$3"; }
# Each picture at its size, and at twice that for screens at 2x (Qt's @2x
# files, which it picks beside the 1x ones by name).
for scale in 1 2; do
    suffix=$([ "$scale" = 2 ] && echo @2x || true)
    render zentrova.svg $((64 * scale)) "icons/zentrova$suffix.png"
    render meter.svg $((196 * scale)) "images/meter$suffix.png"
    render settings_22x22.svg $((22 * scale)) "gui/settings_22x22$suffix.png"
    render add_22x22.svg $((22 * scale)) "gui/add_22x22$suffix.png"
    render remove_22x22.svg $((22 * scale)) "gui/remove_22x22$suffix.png"
done
# The desktop's icon theme sizes, and the Windows file icon with the usual ones.
mkdir -p "$out/icons/hicolor"
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
    render zentrova.svg "$size" "icons/hicolor/${size}.png"
done
(cd "$out/icons/hicolor" && convert "${sizes[@]/%/.png}" ../zentrova.ico)
