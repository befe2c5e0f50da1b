# Shared by the end-to-end scripts (sourced): counting checks, and closing
# the program as a window manager does. They set program, wm_close, window
# and app_pid.
passed=0
failed=0

check() { # description, then a command that must succeed
    local description=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "PASS: $description"
    else
        failed=$((failed + 1))
        echo "FAIL: $description"
    fi
}

# Sends the close request and waits for the program to end; sets exit_status.
close_program() {
    "$wm_close" "$window" || return 1
    local tries=0
    while kill -0 "$app_pid" 2>/dev/null && [ $tries -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        kill "$app_pid"
        exit_status=timeout
    else
        wait "$app_pid"
        exit_status=$?
    fi
}
