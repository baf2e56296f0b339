#!/usr/bin/env bash
# Builds the fuzz targets of the program's file readers and of the web archive reader
# with clang and runs each for the given number of seconds (default 5), one after
# another, under AddressSanitizer and UndefinedBehaviorSanitizer. New inputs found go to
# build-fuzz/corpus; the seeds in tests/fuzz/corpus are only read.
#   bash scripts/fuzz.sh 600     # ten minutes each
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQUORL_FUZZ=ON > build-fuzz.configure.log 2>&1 || { cat build-fuzz.configure.log; exit 1; }
rm -f build-fuzz.configure.log
cmake --build build-fuzz --parallel "$(nproc)"
# The readers write files through the program's write path, which syncs every file:
# on a memory file system that costs nothing, and fuzzing runs many times faster.
scratch=$(mktemp -d "${FUZZ_SCRATCH:-/dev/shm}/quorl-fuzz.XXXXXX" 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
for name in textfile options settings language history bookmark linktitles linkgroup mhtml; do
  mkdir -p "build-fuzz/corpus/$name"
  echo "fuzzing the $name reader for $seconds s"
  "build-fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
    "build-fuzz/corpus/$name" "tests/fuzz/corpus/$name" > "build-fuzz/fuzz_$name.log" 2>&1 \
    || { tail -n 60 "build-fuzz/fuzz_$name.log"; echo "the $name reader failed under fuzzing" >&2; exit 1; }
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "build-fuzz/fuzz_$name.log" | tr '\n' ' '
  echo
done
