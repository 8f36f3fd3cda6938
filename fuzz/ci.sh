#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, separate tree build-fuzz) and runs each one on its
# corpus for a while, two at a time. A crash, a leak or a time-out in any harness fails the run.
# Usage: fuzz/ci.sh [SECONDS]   (60 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-60}

need=(clang libclang-rt-dev)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. Install them first:" >&2
        echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRISELLA_BUILD_FUZZ=ON \
    -DBRISELLA_BUILD_TESTS=OFF -DBRISELLA_BUILD_BENCH=OFF
mapfile -t targets < <(ninja -C build-fuzz -t targets all | sed -n 's/^\(fuzz_[a-z0-9_]*\): phony$/\1/p' | grep -v '_autogen')
[ ${#targets[@]} -gt 0 ] || { echo "fuzz/ci.sh: no harnesses found" >&2; exit 1; }
cmake --build build-fuzz --target "${targets[@]}"

names=()
for t in "${targets[@]}"; do names+=("${t#fuzz_}"); done
export BB_FUZZ_OUT=${BB_FUZZ_OUT:-$PWD/build-fuzz/runs}
rm -rf "$BB_FUZZ_OUT"
# Two harnesses at a time, one per core: every harness still runs its full time.
half=$(((${#names[@]} + 1) / 2))
fuzz/run_all.sh "$secs" "${names[@]:0:$half}" &
first=$!
status=0
fuzz/run_all.sh "$secs" "${names[@]:$half}" || status=1
wait "$first" || status=1
exit $status
