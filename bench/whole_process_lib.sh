# Shared by the whole-process photo benches (sourced, not run): argument handling, the photo
# inputs and the measurement of one command's wall time and peak memory.
# Expects the sourcing script to have set `here` (its own folder).
# shellcheck shell=bash

# bench_setup [BRISELLA_CLI] [RUNS]: sets cli, runs and work (a temporary folder removed on exit).
# The CLI comes from the first argument, else $BRISELLA_CLI, else the release build.
bench_setup() {
    cli=${1:-${BRISELLA_CLI:-$here/../build-rel/src/cli/brisella-cli}}
    runs=${2:-3}
    [ -x "$cli" ] || { echo "no brisella-cli at $cli (argument 1 or BRISELLA_CLI)" >&2; exit 1; }
    case $runs in '' | *[!0-9]* | 0) echo "the run count must be a positive number" >&2; exit 1 ;; esac
    [ -x /usr/bin/time ] || { echo "needs GNU time at /usr/bin/time" >&2; exit 1; }
    for tool in convert identify python3 bc; do
        command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
    done
    work=$(mktemp -d /tmp/brisella-bench-XXXXXX)
    # shellcheck disable=SC2064  # the folder's name is fixed now
    trap "rm -rf '$work'" EXIT
    export QT_QPA_PLATFORM=offscreen
    export XDG_RUNTIME_DIR=$work
}

# photo SEED WIDTH HEIGHT: prints the path of a photo-like JPEG (fractal plasma with the given
# seed, quality 90, 4:2:0 chroma as phone cameras write it; about 2.5 MB for 12 MP). Made in the work folder, or once
# in $BB_PHOTO_DIR when that is set, as a 12 MP plasma takes ImageMagick several seconds.
photo() {
    local dir=${BB_PHOTO_DIR:-$work}
    local file=$dir/photo-$1-$2x$3.jpg
    if [ ! -f "$file" ]; then
        mkdir -p "$dir"
        # No further operations: ImageMagick's default limits leave out a blur on 50 MP
        # with only a warning.
        convert -seed "$1" -size "$2x$3" plasma:fractal -sampling-factor 2x2,1x1,1x1 \
            -quality 90 "$file.part.jpg" || return 1
        [ "$(identify -format '%wx%h' "$file.part.jpg")" = "$2x$3" ] || return 1
        mv "$file.part.jpg" "$file"
    fi
    echo "$file"
}

# make_card CARD FILE@X,Y,W,H...: writes the card (make_photo_card.py) and checks with
# `brisella-cli info` that the program reads it back with these pictures on the outside.
make_card() {
    local card=$1
    shift
    python3 "$here/make_photo_card.py" "$card" "$@"
    "$cli" info "$card" 2>/dev/null | python3 -c '
import json, sys
card = json.load(sys.stdin)
names = [o["Content"] for o in card["outside"]["objects"] if o["Kind"] == 3]
sys.exit(names != [a.rpartition("@")[0] for a in sys.argv[1:]])' "$@" ||
        { echo "brisella-cli does not read the written card $card as expected" >&2; exit 1; }
}

# pixels_at MM DPI: Trunc(MM / 25.39995 × DPI), the pixels a length takes at a resolution.
pixels_at() {
    echo "scale=6; $1 / 25.39995 * $2" | bc | cut -d. -f1
}

# measure COMMAND...: runs the command once to warm the file cache, then `runs` times; sets
# seconds (mean wall time) and peak_mb (the largest maximum resident set of the runs). Fails
# with the command's output when a run fails.
# shellcheck disable=SC2034  # the results are read by the sourcing script
measure() {
    local total=0 peak=0 t0 t1 kb
    "$@" >"$work/out.log" 2>&1 || { cat "$work/out.log" >&2; echo "failed: $*" >&2; exit 1; }
    for _ in $(seq "$runs"); do
        t0=$(date +%s%N)
        /usr/bin/time -f '%M' -o "$work/time.txt" "$@" >"$work/out.log" 2>&1 ||
            { cat "$work/out.log" >&2; echo "failed: $*" >&2; exit 1; }
        t1=$(date +%s%N)
        total=$((total + t1 - t0))
        kb=$(tail -n 1 "$work/time.txt")
        [ "$kb" -gt "$peak" ] && peak=$kb
    done
    seconds=$(echo "scale=3; $total / $runs / 1000000000" | bc | sed 's/^\./0./')
    peak_mb=$(echo "scale=1; $peak / 1024" | bc | sed 's/^\./0./')
}

# The table: a header, one row per measured command, and the ratios of two rows.
print_header() {
    printf "%-44s %10s %12s\n" "command" "wall [s]" "peak [MB]"
}
print_row() {  # label seconds peak_mb
    printf "%-44s %10s %12s\n" "$1" "$2" "$3"
}
print_ratio() {  # ours_seconds other_seconds ours_mb other_mb
    printf "ratio other / ours: time %s, memory %s (above 1: brisella-cli is faster / smaller)\n" \
        "$(echo "scale=2; $2 / $1" | bc | sed 's/^\./0./')" \
        "$(echo "scale=2; $4 / $3" | bc | sed 's/^\./0./')"
}

# pdf_images PDF: one line "W×H" per image the PDF embeds (pdfimages -list).
pdf_images() {
    command -v pdfimages >/dev/null || { echo "needs pdfimages (poppler-utils)" >&2; exit 1; }
    pdfimages -list "$1" | awk 'NR > 2 { print $4 "x" $5 }'
}

# print_pdf_images PDF W H: the PDF's images against the W × H pixels the printed object needs.
print_pdf_images() {
    local size
    echo "printed object needs ${2}x$3 pixels; the PDF embeds:"
    for size in $(pdf_images "$1"); do
        printf "  image %s: %s times the pixels needed\n" "$size" \
            "$(echo "scale=2; ${size%x*} * ${size#*x} / ($2 * $3)" | bc | sed 's/^\./0./')"
    done
    printf "  PDF file: %s KB\n" "$(($(stat -c %s "$1") / 1024))"
}

# photo_print SEED WIDTH HEIGHT: one photo of that size printed 84 x 63 mm to PDF at 600 dpi by
# brisella-cli, against ImageMagick decoding it at the printed size; prints the table and
# leaves ours_mb, w and h (the pixels the printed photo needs) set.
photo_print() {
    local dpi=600 w_mm=84 h_mm=63 file ours_s other_s other_mb
    file=$(photo "$1" "$2" "$3")
    make_card "$work/card.kar" "$file@40.5,29,$w_mm,$h_mm"
    w=$(pixels_at "$w_mm" "$dpi")
    h=$(pixels_at "$h_mm" "$dpi")
    measure "$cli" print "$work/card.kar" --side outside --pdf "$work/ours.pdf" --dpi "$dpi"
    ours_s=$seconds ours_mb=$peak_mb
    measure convert -define "jpeg:size=${w}x$h" "$file" -resize "${w}x$h!" "$work/theirs.ppm"
    other_s=$seconds other_mb=$peak_mb
    echo "one $2x$3 JPEG printed ${w_mm} x ${h_mm} mm at $dpi dpi, $runs runs"
    print_header
    print_row "brisella-cli print --pdf --dpi $dpi" "$ours_s" "$ours_mb"
    print_row "convert -define jpeg:size=${w}x$h" "$other_s" "$other_mb"
    print_ratio "$ours_s" "$other_s" "$ours_mb" "$other_mb"
}
