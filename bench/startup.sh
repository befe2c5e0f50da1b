#!/usr/bin/env bash
# Whole start-up, process start to window shown on a real X server, of the
# program beside a minimal Qt dialog program built in the same tree. The two
# are started in turn, so that both see the same machine; prints the median
# of each and their ratio.
#
#   startup.sh BUILD-DIR [ROUNDS]
set -euo pipefail
build=${1:?build directory}
rounds=${2:-15}
timer=$build/bench/zentrova-startup-timer
work=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 number <"$work/display"
export DISPLAY=:$number QT_QPA_PLATFORM=xcb

# The median of column $1 (1: milliseconds to the window shown, 2: resident kB).
median() { awk -v c="${1:-1}" '{ print $c }' | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# A settings file of $1 rows in a home folder of its own.
home_with_rows() {
    local home=$work/home-$1
    mkdir -p "$home/.zentrova"
    printf '[General]\nRow_Count=%d\n' "$1" >"$home/.zentrova/Settings.ini"
    echo "$home"
}
home3=$(home_with_rows 3)
home1000=$(home_with_rows 1000)

: >"$work/program" >"$work/minimal" >"$work/program1000"
for _ in $(seq "$rounds"); do
    HOME=$home3 "$timer" 'Zentrova Calibrator Version 2.1' "$build/src/zentrova-calibrator" >>"$work/program" 2>/dev/null
    "$timer" 'Minimal Dialog' "$build/bench/minimal-dialog" >>"$work/minimal" 2>/dev/null
    HOME=$home1000 "$timer" 'Zentrova Calibrator Version 2.1' "$build/src/zentrova-calibrator" >>"$work/program1000" 2>/dev/null
done
program=$(median <"$work/program")
minimal=$(median <"$work/minimal")
program1000=$(median <"$work/program1000")
echo "start-up to window shown, median of $rounds:"
echo "  minimal dialog            $minimal ms"
echo "  calibrator, 3 rows        $program ms"
echo "  calibrator, 1000 rows     $program1000 ms"
awk -v p="$program" -v m="$minimal" 'BEGIN { printf "  ratio calibrator/minimal  %.2f\n", p / m }'
memory3=$(median 2 <"$work/program")
memory1000=$(median 2 <"$work/program1000")
echo "resident memory with the window shown, median of $rounds:"
echo "  calibrator, 3 rows        $((memory3 / 1024)) MB"
echo "  calibrator, 1000 rows     $((memory1000 / 1024)) MB"
awk -v a="$memory1000" -v b="$memory3" 'BEGIN { printf "  ratio 1000 rows/3 rows    %.2f\n", a / b }'
