#!/usr/bin/env bash
# One card with one 12 MP phone photo, 84 mm wide, printed to PDF at 600 dpi, as whole processes:
#   ours:   brisella-cli print CARD --side outside --pdf OUT.pdf --dpi 600
#   theirs: ImageMagick `convert` decoding the photo at the printed size (jpeg:size hint, then
#           resized to exactly that size; 84 × 63 mm at 600 dpi = 1984 × 1488), written as PPM.
# The photo is a 4000 × 3000 fractal plasma (quality 90, 4:2:0) on Geha P78 stock
# (165 × 121 mm, two cards per A4 sheet; one copy prints one card on one sheet). Prints the
# mean wall time over RUNS runs (after one warm-up), the largest peak memory (maximum resident
# set, GNU time), the ratios, and the size of the image the PDF embeds against the size the
# printed object needs.
# Usage: bench/photo_print_vs_imagemagick.sh [BRISELLA_CLI] [RUNS]
#   BRISELLA_CLI defaults to $BRISELLA_CLI, then build-rel/src/cli/brisella-cli; RUNS to 3.
#   BB_PHOTO_DIR=FOLDER keeps the generated photo there for later runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=bench/whole_process_lib.sh
. "$here/whole_process_lib.sh"
bench_setup "$@"

photo_print 11 4000 3000
print_pdf_images "$work/ours.pdf" "$w" "$h"
