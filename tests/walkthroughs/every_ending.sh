#!/usr/bin/env bash
# every_ending.sh BOOK FOLDER: the endings BOOK names and the walkthroughs in
# FOLDER must be the same pages.
set -u
book=$1 folder=$2
want=$(sed -n 's/^ending \([0-9][0-9]*\) .*/\1/p' "$book" | sort -n)
have=$(ls "$folder" | sed -n 's/^ending-\([0-9][0-9]*\)\.script$/\1/p' | sort -n)
[ "$want" = "$have" ] && exit 0
echo "endings of the book:  " $want
echo "walkthroughs written: " $have
echo "run tools/walkthroughs to write them again"
exit 1
