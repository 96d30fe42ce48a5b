#!/bin/sh
# Renders one SVG at its own size and reduces it to a bitmap resource; the
# reduced picture is also kept at 1:1 and 2:1 for the contact sheet.
#   render-picture.sh <rsvg-convert> <picture> <in.svg> <work name> <out.bmp> [--mono]
# writes <work name>.png (as rendered), <work name>-1x.png and <work name>-2x.png.
set -u
rsvg=$1 tool=$2 svg=$3 work=$4 bmp=$5
shift 5
"$rsvg" --format=png --output="$work.png" "$svg" || { echo "$svg: cannot be rendered" >&2; exit 1; }
"$tool" "$work.png" "$bmp" --preview "$work-1x.png" --zoom "$work-2x.png" "$@" ||
    { echo "$svg: cannot be reduced" >&2; exit 1; }
