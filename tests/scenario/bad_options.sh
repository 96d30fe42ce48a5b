#!/usr/bin/env bash
# Bad device options and an unusable store folder: one line on stderr and a
# non-zero exit each; the SDL backend without a display likewise.
set -u
program=$1 work=$2
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
# No display: the SDL backend cannot open its window.
(unset DISPLAY WAYLAND_DISPLAY; export SDL_VIDEODRIVER=x11
 "$program" --store "$work/store" >"$work/out" 2>"$work/err"; echo $? >"$work/code")
lines=$(wc -l <"$work/err")
if [ "$(cat "$work/code")" = 0 ] || [ "$lines" != 1 ] || ! grep -q "^$name: cannot open the device window: " "$work/err"; then
    echo "FAIL: no display: exit $(cat "$work/code"), stderr: $(cat "$work/err")"
    status=1
fi
exit $status
