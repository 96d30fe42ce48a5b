#!/usr/bin/env bash
# bad_options.sh PROGRAM WORKDIR DEVICE_DOC
# Bad device options and an unusable store folder: one line on stderr and a
# non-zero exit each; the SDL backend without a usable display likewise, at
# once. --help prints exactly what DEVICE_DOC shows under "## Options".
set -u
program=$1 work=$2 doc=$3
rm -rf "$work" && mkdir -p "$work"
export SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work"
status=0
check() {  # check EXPECTED-STDERR ARGS...
    local expected=$1; shift
    "$@" >"$work/out" 2>"$work/err"
    local code=$?
    local got; got=$(cat "$work/err")
    if [ $code = 0 ] || [ $code -ge 128 ] || [ "$got" != "$expected" ]; then
        echo "FAIL: $*: exit $code, stderr: $got (expected: $expected)"
        status=1
    fi
}
name=$(basename "$program")
check "$name: unknown option --fast" "$program" --headless --fast
check "$name: --scale takes a whole number from 1 to 8, not 0" "$program" --scale 0
check "$name: --clock needs a value" "$program" --headless --clock
check "$name: --script runs only with --headless" "$program" --script x.script
check "$work/none.script: cannot read the script" "$program" --headless --script "$work/none.script"
touch "$work/file"
check "$name: the store folder $work/file is not a folder" "$program" --headless --store "$work/file"
check "$name: cannot use the store folder $work/file/sub: Not a directory" "$program" --headless --store "$work/file/sub"
if [ "$(id -u)" != 0 ]; then
    mkdir -p "$work/locked" && chmod 000 "$work/locked"
    check "$name: cannot use the store folder $work/locked: Permission denied" "$program" --headless --store "$work/locked"
fi
# No usable display: one line saying what is wrong and what to do, exit 1,
# within 2 seconds (SDL would otherwise open an invisible window and wait).
# Each run leaves "CODE SECONDS" in $work/code and its stderr in $work/err.
nodisplay() {  # nodisplay PATTERN: the stderr line expected, a glob
    read -r code seconds <"$work/code"
    local got; got=$(cat "$work/err")
    if [ "$code" != 1 ] || [ "$seconds" -gt 2 ] || [[ $got != "$name: cannot open the device window: "$1 ]]; then
        echo "FAIL: no display: exit $code after $seconds s, stderr: $got"
        status=1
    fi
}
# The display's system libraries (the session bus) leak under the sanitizer
# build when the display cannot be used; leaks are checked on SDL's dummy driver.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
run='SECONDS=0; timeout 10 "$0" --store "$1/store" >/dev/null 2>"$1/err"; echo "$? $SECONDS" >"$1/code"'
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER bash -c "$run" "$program" "$work"
nodisplay "no display: DISPLAY is not set (run it on a desktop, or with --headless)"
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:9999 bash -c "$run" "$program" "$work"
nodisplay "the display :9999 cannot be reached (check DISPLAY, or run with --headless)"
if command -v xvfb-run >/dev/null; then
    # A server that wants a cookie the program has not got.
    env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER xvfb-run -a bash -c "XAUTHORITY=/dev/null; $run" "$program" "$work"
    nodisplay "the display :* refused the connection: Authorization required, but no authorization protocol specified (check DISPLAY and XAUTHORITY, or run with --headless)"
fi
expected=$(awk '/^## /{o = $0 == "## Options"} o && /^```/{n++; next} o && n == 1' "$doc" |
    sed "s/^Usage: program /Usage: $name /")
[ "$("$program" --help)" = "$expected" ] || { echo "FAIL: --help differs from $doc:"; diff <("$program" --help) <(echo "$expected"); status=1; }
exit $status
