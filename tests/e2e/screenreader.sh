#!/usr/bin/env bash
# End-to-end with a real screen reader client: the program runs in an
# accessibility session (a11y-session.sh), a sample is typed into it with
# real key events, and an AT-SPI client reads the three results by name.
#
#   screenreader.sh PROGRAM WM-CLOSE-HELPER
#
# Prints one closing line "N passed, N failed".
set -uo pipefail
program=${1:?program}
wm_close=${2:?wm-close helper}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${ZENTROVA_A11Y_STAGE:-}" ]; then
    exec bash "$here/../a11y-session.sh" bash "$0" "$@"
fi

source "$here/checks.sh"
hear() { /usr/bin/python3 "$here/screenreader.py" "$(basename "$program")" "$@"; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.zentrova"
cat >"$home/.zentrova/Settings.ini" <<'INI'
[General]
Row_Count=3
Nominal_Value_0=15
Actual_Value_0=15
Reading_Value_0=15.2
Nominal_Value_1=20
Actual_Value_1=20
Reading_Value_1=20.1
Nominal_Value_2=25
Actual_Value_2=25
Reading_Value_2=25.05
INI

# The AT-SPI registry starts on its first use; the program registers with it
# at start-up, so it is up first.
/usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0).childCount'

HOME=$home "$program" >"$home/program.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Zentrova Calibrator' | head -n 1)
check "window shown" test -n "$window"
check "the results are heard with their names" \
    hear "New Code 1=27A8" "New Code 2=FE59" "Data Range=0.150 degrees Celsius"

# The focus starts in Existing Code 1; Tab to Existing Code 2 and type a code.
xdotool windowfocus --sync "$window"
xdotool key --delay 20 Tab
xdotool type --delay 20 FFFB
check "a new code is heard after typing" \
    hear "New Code 1=27A8" "New Code 2=FE54" "Data Range=0.150 degrees Celsius"

close_program
check "exit status 0" test "$exit_status" = 0
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
