#!/usr/bin/env bash
# Runs each harness in turn at the lowest priority, seeded from fuzz/corpus/<reader>,
# collecting new inputs in a scratch folder. Usage: fuzz/run_all.sh [SECONDS] [READER...]
# Exits 1 when any harness found a crash, a leak or a time-out (its log is printed).
set -u
secs=${1:-600}
shift || true
readers=("$@")
[ ${#readers[@]} -gt 0 ] || readers=(pcx tga ilbm bmp gif card catalogue calibration addresslist)
here=$(cd "$(dirname "$0")" && pwd)
build=${BB_FUZZ_BUILD:-$here/../build-fuzz}
out=${BB_FUZZ_OUT:-/tmp/brisella-fuzz}
# The card harness finds the pictures its seeds name among the sample pictures.
export BRISELLA_FUZZ_PICTURES=${BRISELLA_FUZZ_PICTURES:-$here/../build/samples}
# Leaks of our own code count; fontconfig's process-long caches do not.
export LSAN_OPTIONS=suppressions=$here/lsan.supp
failed=0
for r in "${readers[@]}"; do
    mkdir -p "$out/$r/work" "$out/$r/crashes"
    start=$(date +%s)
    nice -n 19 "$build/fuzz/fuzz_$r" "$out/$r/work" "$here/corpus/$r" \
        -max_total_time="$secs" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$out/$r/crashes/" >"$out/$r/log.txt" 2>&1
    rc=$?
    echo "$r: exit $rc after $(( $(date +%s) - start )) s" | tee -a "$out/summary.txt"
    if [ $rc -ne 0 ]; then
        failed=1
        tail -n 60 "$out/$r/log.txt"
        ls -l "$out/$r/crashes/"
    fi
done
exit $failed
