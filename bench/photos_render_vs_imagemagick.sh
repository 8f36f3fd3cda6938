#!/usr/bin/env bash
# Ten 12 MP phone photos on one side of a card, drawn at screen resolution, as whole processes:
#   ours:   brisella-cli render CARD --side outside --dpi 96 -o OUT.png
#   theirs: one ImageMagick `convert` process reading the same ten JPEGs with the jpeg:size hint
#           (libjpeg's reduced-scale decode) and resizing each to the size the card draws it
#           at, written as ten PPM files. One process for all ten, as ours is one process.
# The photos are 4000 × 3000 fractal plasmas (seeds 1..10, quality 90, 4:2:0), the card is
# Geha P78 stock (165 × 121 mm) with the photos in two rows of five, each 30 × 22.5 mm
# (113 × 85 pixels at 96 dpi). Prints the mean wall time over RUNS runs (after one warm-up),
# the largest peak memory (maximum resident set, GNU time) and the ratios.
# Usage: bench/photos_render_vs_imagemagick.sh [BRISELLA_CLI] [RUNS]
#   BRISELLA_CLI defaults to $BRISELLA_CLI, then build-rel/src/cli/brisella-cli; RUNS to 3.
#   BB_PHOTO_DIR=FOLDER keeps the generated photos there for later runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=bench/whole_process_lib.sh
. "$here/whole_process_lib.sh"
bench_setup "$@"

dpi=96
w_mm=30 h_mm=22.5 gap_mm=2.5 left_mm=2.5 top_mm=36.75
objects=() photos=()
for i in $(seq 10); do
    file=$(photo "$i" 4000 3000)
    photos+=("$file")
    col=$(((i - 1) % 5)) row=$(((i - 1) / 5))
    x=$(echo "$left_mm + $col * ($w_mm + $gap_mm)" | bc)
    y=$(echo "$top_mm + $row * ($h_mm + $gap_mm)" | bc)
    objects+=("$file@$x,$y,$w_mm,$h_mm")
done
make_card "$work/card.kar" "${objects[@]}"
w=$(pixels_at "$w_mm" "$dpi")
h=$(pixels_at "$h_mm" "$dpi")

measure "$cli" render "$work/card.kar" --side outside --dpi "$dpi" -o "$work/ours.png"
ours_s=$seconds ours_mb=$peak_mb
measure convert -define "jpeg:size=${w}x$h" "${photos[@]}" -resize "${w}x$h!" +adjoin \
    "$work/theirs-%d.ppm"
other_s=$seconds other_mb=$peak_mb

# The render must have drawn the photos: the first one's box is not plain.
box=$(pixels_at "$left_mm" "$dpi"),$(pixels_at "$top_mm" "$dpi")
spread=$(convert "$work/ours.png" -crop "${w}x$h+${box%,*}+${box#*,}" -format '%[fx:standard_deviation>0.02]' info:)
[ "$spread" = 1 ] || { echo "the rendered card shows no photo at $box" >&2; exit 1; }

echo "ten 4000x3000 JPEGs drawn at ${w}x$h pixels each ($dpi dpi), $runs runs"
print_header
print_row "brisella-cli render --dpi $dpi" "$ours_s" "$ours_mb"
print_row "convert -define jpeg:size=${w}x$h (10 files)" "$other_s" "$other_mb"
print_ratio "$ours_s" "$other_s" "$ours_mb" "$other_mb"
