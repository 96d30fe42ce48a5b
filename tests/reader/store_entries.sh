#!/usr/bin/env bash
# store_entries.sh PROGRAM WORKDIR
# What the reader does with each odd entry in its store, run headless in a
# fresh store folder each time: its exit code, its one line on stderr (naming
# the path and the reason), and the files it leaves. Nothing behind a link is
# ever touched; a saved progress file that a save would overwrite unapplied is
# first kept aside, under a name no earlier copy has.
set -u
program=$1 work=$2
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy XDG_RUNTIME_DIR="$work"
status=0
# A whole record of VERSION at paragraph 150.
record() { printf '\x96\x00\x01'; head -c 25 /dev/zero; printf "\\x$(printf %02x "$1")"; head -c 1131 /dev/zero; }
# check SETUP EXIT STDERR [AFTER [STORE]]: SETUP and AFTER run in the store
# folder; STDERR is a pattern, "" for nothing said; ../was is the file as
# SETUP left it.
check() {
    local store=${5:-$work/store}
    rm -rf "$work" && mkdir -p "$work/store" && echo theirs >"$work/theirs"
    (cd "$work/store" && eval "$1" && if [ -f QOT1Fernvale.dat ]; then cp QOT1Fernvale.dat ../was; fi)
    timeout 10 "$program" --headless --store "$store" >/dev/null 2>"$work/err"
    local code=$? got; got=$(cat "$work/err")
    if [ $code != "$2" ] || [[ "$got" != $3 ]] || [ "$(cat "$work/theirs")" != theirs ] ||
        ! (cd "$work/store" && eval "${4:-:}"); then
        echo "FAIL: $1: exit $code, stderr: $got (expected: exit $2, $3; ${4:-})"
        status=1
    fi
}
s=$work/store/QOT1Fernvale
open="fernvale: cannot open the saved progress $s.dat"
link="it is a symbolic link, and links are not followed"
check "mkdir QOT1Fernvale.dat" 1 "$open: it is a folder (error 5)"
check "ln -s ../nowhere QOT1Fernvale.dat" 1 "$open: $link (error 1921)"
check "ln -s ../theirs QOT1Fernvale.dat" 1 "$open: $link (error 1921)"
check "mkfifo QOT1Fernvale.dat" 1 "$open: it is not a regular file (error 222)" "[ -p QOT1Fernvale.dat ]"
if [ "$(id -u)" != 0 ]; then
    check "touch QOT1Fernvale.dat && chmod 000 QOT1Fernvale.dat" 1 "$open: access denied (error 5)"
fi
check "" 1 "fernvale: cannot use the store folder /proc: *" "" /proc

# The scratch file: a leftover is cleared, anything else refused; a save that
# cannot be made leaves the old file and ends with exit 1.
saved="[ \$(stat -c %s QOT1Fernvale.dat) = 1160 ] && [ ! -e QOT1Fernvale.new ]"
same="cmp -s ../was QOT1Fernvale.dat"
notsaved="fernvale: progress not saved: cannot make $s.new"
check "record 218 >QOT1Fernvale.dat && echo old >QOT1Fernvale.new && chmod 400 QOT1Fernvale.new" 0 "" "$saved"
check "record 218 >QOT1Fernvale.dat && mkdir QOT1Fernvale.new" 1 "$notsaved: it is a folder (error 5)" "$same"
check "record 218 >QOT1Fernvale.dat && ln -s ../theirs QOT1Fernvale.new" 1 "$notsaved: $link (error 1921)" "$same"
check "record 218 >QOT1Fernvale.dat && mkfifo QOT1Fernvale.new" 1 "$notsaved: it is not a regular file (error 222)" "$same"
# Under a file-size limit (1 KB) the save fails, says so and ends with exit 1.
rm -rf "$work" && mkdir -p "$work/store"
(ulimit -f 1 && exec "$program" --headless --store "$work/store" >/dev/null 2>"$work/err")
code=$?
[ $code = 1 ] && [ "$(cat "$work/err")" = "fernvale: progress not saved to $s.dat: the file would pass the file-size limit (error 223)" ] ||
    { echo "FAIL: under a file-size limit: exit $code, stderr: $(cat "$work/err")"; status=1; }

# Damaged saves; the empty file of a first start and a whole record are no damage.
damaged="fernvale: the saved progress $s.dat is"
starts="and the book starts at the beginning"
check "head -c 500 /dev/urandom >QOT1Fernvale.dat" 0 \
    "$damaged damaged (500 bytes, where a whole record has 1160); it is kept as $s.dat.damaged $starts" \
    "cmp -s ../was QOT1Fernvale.dat.damaged && $saved"
check "{ record 217; echo tail; } >QOT1Fernvale.dat && echo earlier >QOT1Fernvale.dat.damaged" 0 \
    "$damaged of another version (217, where this reader's is 218); it is kept as $s.dat.damaged.2 $starts" \
    "cmp -s ../was QOT1Fernvale.dat.damaged.2 && [ \$(cat QOT1Fernvale.dat.damaged) = earlier ]"
check "touch QOT1Fernvale.dat" 0 "" "[ ! -e QOT1Fernvale.dat.damaged ]"
check "record 218 >QOT1Fernvale.dat" 0 "" "[ ! -e QOT1Fernvale.dat.damaged ] && [ \$(od -An -tu2 -N2 QOT1Fernvale.dat) = 150 ]"
check "echo bad >QOT1Fernvale.dat && mkdir QOT1Fernvale.dat.damaged" 1 \
    "$damaged damaged (4 bytes, where a whole record has 1160); no copy of it could be made ($s.dat.damaged: it is a folder), so it is left as it is and this run is not saved" \
    "$same"
exit $status
