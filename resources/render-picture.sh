#!/bin/sh
# Renders one SVG at its own size and reduces it to a bitmap resource.
#   render-picture.sh <rsvg-convert> <picture> <in.svg> <work.png> <out.bmp> <preview.png> [--mono]
set -u
rsvg=$1 tool=$2 svg=$3 png=$4 bmp=$5 preview=$6
shift 6
"$rsvg" --format=png --output="$png" "$svg" || { echo "$svg: cannot be rendered" >&2; exit 1; }
"$tool" "$png" "$bmp" --preview "$preview" "$@" || { echo "$svg: cannot be reduced" >&2; exit 1; }
