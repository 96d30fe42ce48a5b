# Shared by the shell tests that run a program on the device as a process:
# source it, then call the functions. Each takes PROGRAM and WORKDIR first.

# A clean work folder with an empty store, and the device's runtime folder
# (where windows listen) inside it; no audio device needed.
fresh_work() {  # fresh_work WORKDIR
    rm -rf "$1" && mkdir -p "$1/store" "$1/run"
    export SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$1/run"
}

# Runs PROGRAM in a real window under Xvfb at scale 2 (with OPTIONS after
# the store's), then runs the xdotool steps in STEPS (bash, with $win the
# window), closes it with SIGTERM and leaves its exit code in WORKDIR/code,
# stdout and stderr in WORKDIR/out and WORKDIR/err. Exits 77 (skipped)
# without xvfb-run or xdotool.
run_in_window() {  # run_in_window PROGRAM WORKDIR STEPS [OPTIONS...]
    command -v xvfb-run >/dev/null && command -v xdotool >/dev/null ||
        { echo "xvfb-run or xdotool missing"; exit 77; }
    unset SDL_VIDEODRIVER
    # Under the sanitizer build the X11 window's system libraries leak on
    # exit, unsymbolized; leak checking is left to the tests that run on
    # SDL's dummy driver.
    export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    xvfb-run -a -s "-screen 0 800x700x24" bash -c '
        program=$1 work=$2 steps=$3
        shift 3
        "$program" --store "$work/store" --scale 2 "$@" >"$work/out" 2>"$work/err" &
        pid=$!
        # The window is found by its class, the name of the program. The
        # search fails outright (BadWindow) when a window it is looking
        # at goes away meanwhile, as the short-lived windows SDL opens at start-up do,
        # so it is tried again until the window shows or 10 s have passed.
        win=
        for _ in $(seq 50); do
            win=$(xdotool search --onlyvisible --classname "^$(basename "$program")\$" 2>/dev/null | head -1)
            [ -n "$win" ] && break
            sleep 0.2
        done
        [ -n "$win" ] || { echo "no window"; kill $pid; exit 1; }
        eval "$steps"
        kill -TERM $pid
        wait $pid
        echo $? >"$work/code"
    ' window "$@"
    cat "$2/err"
    [ "$(cat "$2/code" 2>/dev/null)" = 0 ] || { echo "exit code $(cat "$2/code" 2>/dev/null)"; exit 1; }
}

# Starts PROGRAM in the background in a real-time window on SDL's dummy
# driver, as the first copy, and waits until its window of class SOCKET
# (the class name in lower case) listens. Sets $first to its process id.
start_first_copy() {  # start_first_copy PROGRAM WORKDIR SOCKET
    # A background job starts with SIGINT ignored; the device keeps an
    # ignored SIGINT ignored, so it is given back its default here.
    SDL_VIDEODRIVER=dummy env --default-signal=INT "$1" --store "$2/store" >"$2/first.out" 2>"$2/first.err" &
    first=$!
    trap 'kill $first 2>/dev/null' EXIT
    local socket="$2/run/fernvale-$3.sock"
    for _ in $(seq 100); do
        [ -S "$socket" ] && break
        sleep 0.1
    done
    sleep 0.3  # the socket file appears just before it listens
    [ -S "$socket" ] || { echo "the first copy never listened"; cat "$2/first.err"; exit 1; }
}
