#!/usr/bin/env bash
# Builds the fuzz targets (scripts/build.sh fuzz, into build/fuzz) and runs the stack reader's
# fuzzer for a bounded number of runs and time, on a seed corpus made fresh by the test-stack
# builder. Crash, leak and timeout files are left in build/fuzz/stack-run/.
#   scripts/fuzz.sh [runs] [seconds]      defaults: 200000 runs, at most 60 seconds
# FUZZ_RUNS and FUZZ_SECONDS set the same; FUZZ_NO_BUILD=1 skips the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-${FUZZ_RUNS:-200000}}
seconds=${2:-${FUZZ_SECONDS:-60}}

if [ -z "${FUZZ_NO_BUILD:-}" ]; then
  "$root/scripts/build.sh" fuzz
fi
fuzzer="$root/build/fuzz/stack_fuzz"
makestack="$root/build/fuzz/tools/stackbuilder/makestack"

work="$root/build/fuzz/stack-run"
rm -rf "$work"
mkdir -p "$work/seeds" "$work/corpus"
"$makestack" --seeds "$work/seeds"

cd "$work"
# New inputs go to corpus/; the seeds are only read. A crash or a sanitizer report fails the run.
"$fuzzer" -runs="$runs" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 "$work/corpus" "$work/seeds"

# The other parsers of outside bytes, each for a shorter bounded run from the same seeds.
other_seconds=${FUZZ_OTHER_SECONDS:-20}
for target in "$root"/build/fuzz/*_fuzz; do
  name=$(basename "$target")
  [ "$name" = stack_fuzz ] && continue
  mkdir -p "$work/$name"
  "$target" -runs="$runs" -max_total_time="$other_seconds" -max_len=16384 -timeout=10 \
    -rss_limit_mb=2048 "$work/$name" "$work/seeds"
done
