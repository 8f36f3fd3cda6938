#!/usr/bin/env bash
# A 50 MP photo (8000 × 6000) placed 84 mm wide on a card and printed to PDF at 600 dpi, as a
# whole process: peak memory (maximum resident set, GNU time; the aim is under 600 MB) and
# mean wall time over RUNS runs after one warm-up:
#   ours:   brisella-cli print CARD --side outside --pdf OUT.pdf --dpi 600
#   theirs: for reference, ImageMagick `convert` decoding the photo at the printed size
#           (jpeg:size hint, then resized to exactly 1984 × 1488), written as PPM.
# The photo is a fractal plasma (quality 90, 4:2:0) on Geha P78 stock (165 × 121 mm). Also
# prints the size of the image the PDF embeds against the size the printed object needs.
# Usage: bench/large_photo_print_memory.sh [BRISELLA_CLI] [RUNS]
#   BRISELLA_CLI defaults to $BRISELLA_CLI, then build-rel/src/cli/brisella-cli; RUNS to 3.
#   BB_PHOTO_DIR=FOLDER keeps the generated photo there for later runs (it takes ImageMagick
#   a minute or so to make).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=bench/whole_process_lib.sh
. "$here/whole_process_lib.sh"
bench_setup "$@"

limit_mb=600
photo_print 21 8000 6000
if [ "$(echo "$ours_mb < $limit_mb" | bc)" = 1 ]; then
    echo "peak $ours_mb MB: under $limit_mb MB"
else
    echo "peak $ours_mb MB: NOT under $limit_mb MB"
fi
print_pdf_images "$work/ours.pdf" "$w" "$h"
