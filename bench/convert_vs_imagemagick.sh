#!/usr/bin/env bash
# Times `brisella-cli convert` against ImageMagick's `convert` on a 12-megapixel picture,
# from each format to BMP and from BMP to each format, both as whole commands side by side
# in one run (hyperfine when installed, else a loop over `date +%s%N`). ImageMagick has no
# ILBM coder, so ILBM is compared with netpbm's ilbmtoppm/ppmtoilbm pipelines.
# Usage: bench/convert_vs_imagemagick.sh [BRISELLA_CLI] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build-rel/src/cli/brisella-cli}
runs=${2:-3}
work=$(mktemp -d /tmp/brisella-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
[ -x "$cli" ] || { echo "no brisella-cli at $cli (BB_RELEASE=1 /work/bb-build brisella-cli)" >&2; exit 1; }

# A photo-like 4000 x 3000 source (fractal plasma, fixed seed) and one file per format.
convert -seed 7 -size 4000x3000 plasma:fractal -blur 0x1 "$work/src.bmp"
for f in pcx tga iff rle gif jpg png tif; do "$cli" convert "$work/src.bmp" "$work/src.$f"; done

# seconds <command...>: mean wall time of `runs` runs after one warm-up.
seconds() {
    if command -v hyperfine >/dev/null; then
        hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/h.json" "$*" >/dev/null 2>&1
        python3 -c 'import json,sys; print("%.3f" % json.load(open(sys.argv[1]))["results"][0]["mean"])' "$work/h.json"
    else
        "$@" >/dev/null 2>&1
        local t0 t1
        t0=$(date +%s%N)
        for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1; done
        t1=$(date +%s%N)
        echo "scale=3; ($t1 - $t0) / $runs / 1000000000" | bc
    fi
}
# netpbm pipelines for ILBM, as scripts so that hyperfine runs them without a shell string.
printf '#!/bin/sh\nilbmtoppm "$1" | ppmtobmp > "$2"\n' > "$work/ilbm_from"
printf '#!/bin/sh\nbmptopnm "$1" | ppmtoilbm -24force > "$2"\n' > "$work/ilbm_to"
chmod +x "$work/ilbm_from" "$work/ilbm_to"

printf "%-12s %10s %10s %8s\n" "conversion" "ours [s]" "other [s]" "ratio"
row() {  # name ours... -- other...
    local name=$1; shift
    local ours=() other=()
    while [ "$1" != "--" ]; do ours+=("$1"); shift; done; shift
    other=("$@")
    local a b
    a=$(seconds "${ours[@]}")
    b=$(seconds "${other[@]}")
    printf "%-12s %10s %10s %8s\n" "$name" "$a" "$b" "$(echo "scale=2; $b / $a" | bc)"
}
for f in pcx tga rle gif jpg png tif; do
    im_in=$f; [ $f = rle ] && im_in="bmp:$work/src.rle" || im_in="$work/src.$f"
    row "$f -> bmp" "$cli" convert "$work/src.$f" "$work/o1.bmp" -- convert "$im_in" "bmp3:$work/o2.bmp"
    case $f in
        rle) im_out=(-colors 256 -compress RLE "bmp3:$work/o2.rle") ;;
        tif) im_out=(-compress LZW "$work/o2.tif") ;;  # we write LZW too
        *) im_out=("$work/o2.$f") ;;
    esac
    row "bmp -> $f" "$cli" convert "$work/src.bmp" "$work/o1.$f" -- convert "$work/src.bmp" "${im_out[@]}"
done
row "bmp -> bmp" "$cli" convert "$work/src.bmp" "$work/o1.bmp" -- convert "$work/src.bmp" "bmp3:$work/o2.bmp"
row "iff -> bmp*" "$cli" convert "$work/src.iff" "$work/o1.bmp" -- "$work/ilbm_from" "$work/src.iff" "$work/o2.bmp"
row "bmp -> iff*" "$cli" convert "$work/src.bmp" "$work/o1.iff" -- "$work/ilbm_to" "$work/src.bmp" "$work/o2.iff"
echo "ratio = other / ours (above 1: brisella-cli is faster). * = netpbm instead of ImageMagick."
