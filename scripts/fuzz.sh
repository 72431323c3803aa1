#!/usr/bin/env bash
# Builds the fuzz targets (scripts/build.sh fuzz, into build/fuzz) and runs every one found there
# for a bounded number of inputs and time, on a seed corpus of its own input form made fresh by
# makestack (every target has seed kinds: a target without is an error). The stack reader's
# fuzzer runs longest. New inputs, crash, leak and timeout files are left in
# build/fuzz/fuzz-run/<fuzzer>/, with each fuzzer's output in <fuzzer>.log; at the end a table
# gives each fuzzer's inputs, seconds and findings.
#   scripts/fuzz.sh [runs] [seconds]      defaults: 200000 runs, at most 60 seconds
# FUZZ_RUNS and FUZZ_SECONDS set the same; FUZZ_OTHER_SECONDS the other fuzzers' time (16, so
# that the whole run stays near 15 minutes); the video decoders' fuzzers, quick on small inputs,
# run FUZZ_VIDEO_RUNS (1000000) in at most FUZZ_VIDEO_SECONDS (45).
# Runs given (FUZZ_RUNS or the first argument) lift the default times: every fuzzer runs toward
# that many inputs (the video ones too), unless a time is given as well. For example
#   FUZZ_RUNS=10000000 FUZZ_JOBS=3 scripts/fuzz.sh
# FUZZ_NO_BUILD=1 skips the build; FUZZ_BUILD names another fuzz build folder; FUZZ_JOBS fuzzers
# run at once (default 1), each printing its output when it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
given_runs=${1:-${FUZZ_RUNS:-}}
runs=${given_runs:-200000}
# A time of 0 is no limit to libFuzzer.
if [ -n "$given_runs" ]; then
  default_seconds=0 default_other_seconds=0 default_video_runs=$runs default_video_seconds=0
else
  default_seconds=60 default_other_seconds=16 default_video_runs=1000000 default_video_seconds=45
fi
seconds=${2:-${FUZZ_SECONDS:-$default_seconds}}
other_seconds=${FUZZ_OTHER_SECONDS:-$default_other_seconds}
video_runs=${FUZZ_VIDEO_RUNS:-$default_video_runs}
video_seconds=${FUZZ_VIDEO_SECONDS:-$default_video_seconds}
build=${FUZZ_BUILD:-$root/build/fuzz}
jobs=${FUZZ_JOBS:-1}

if [ -z "${FUZZ_NO_BUILD:-}" ]; then
  "$root/scripts/build.sh" fuzz
fi
makestack="$build/tools/stackbuilder/makestack"

# The seeds each fuzzer reads (makestack --seeds-for KIND, for each kind named).
seed_kinds() {
  case $1 in
    stack_fuzz | resarea_fuzz | stacksave_fuzz | cardimport_fuzz | stacktogo_fuzz) echo stack ;;
    objectfile_fuzz) echo objectfile ;;
    cacheindex_fuzz) echo cacheindex ;;
    downloadnames_fuzz) echo downloadnames ;;
    packbits_fuzz) echo packbits ;;
    lzrw_fuzz) echo lzrw ;;
    vicdib_fuzz | clipboarddib_fuzz | packeddib_fuzz) echo dib ;;
    bmpfile_fuzz) echo bmp ;;
    ppak_fuzz) echo ppak ;;
    packedmask_fuzz) echo packedmask ;;
    jpegdesc_fuzz) echo jpegdesc ;;
    graphicpicture_fuzz) echo graphic ;;
    cardpicture_fuzz) echo cardpicture ;;
    actionrecord_fuzz) echo actionrecord ;;
    frameanim_fuzz) echo frameanim ;;
    soundfile_fuzz) echo soundfile ;;
    midifile_fuzz) echo midi ;;
    moviefile_fuzz) echo movie ;;
    standinmovie_fuzz) echo "movie avi soundfile midi" ;;
    avifile_fuzz) echo avi ;;
    aviframe_fuzz) echo aviframe ;;
    rawvideo_fuzz) echo rawvideo ;;
    rlevideo_fuzz) echo rlevideo ;;
    musictrack_fuzz) echo music ;;
    fieldtext_fuzz) echo fieldtext ;;
    animrecord_fuzz | spriteparts_fuzz) echo animrecord ;;
    iconfile_fuzz) echo iconfile ;;
    videodisc_fuzz) echo videodisc ;;
    qteffectlist_fuzz) echo effectlist ;;
    fonttable_fuzz) echo fonttable ;;
    stackcard_fuzz) echo stackcard ;;
    stackprefs_fuzz) echo stackheader ;;
    objectfileids_fuzz) echo objectids ;;
    standinsound_fuzz) echo standinsound ;;
    gifscan_fuzz) echo gif ;;
    mediacode_fuzz) echo "gif soundfile objectfile midi stack bmp" ;;
    metafile_fuzz) echo metafile ;;
    pcxtga_fuzz) echo pcxtga ;;
    nbainfo_fuzz) echo nbainfo ;;
    qtfx_fuzz) echo qtfx ;;
    soundimport_fuzz) echo soundimport ;;
    storedsound_fuzz) echo storedsound ;;
    shapes_fuzz) echo shapes ;;
    objectlayer_fuzz) echo objectrecord ;;
    textlinks_fuzz) echo textlink ;;
    filmblocks_fuzz) echo animrecord ;;
    gifcompose_fuzz) echo gifframes ;;
    decodedrows_fuzz) echo decodedrows ;;
    cardconvert_fuzz) echo cardrecord ;;
    *) echo "" ;;
  esac
}

# The libFuzzer options of each fuzzer besides the common ones: the longest input it is given
# (near its largest meaningful input: an index of 50 records is 27,102 bytes; a frame animation
# whose pairs need markers holds more than 32767 bytes of frame 1; a stack header is read in its
# first 128 bytes, a videodisc chunk in its first 96; every other input form fits 16 KiB), and
# -entropic=0 where the plain power schedule reaches more inputs in the same time. A fuzzer not
# named here gets -max_len=16384.
options() {
  case $1 in
    cacheindex_fuzz) echo -max_len=28672 ;;
    frameanim_fuzz) echo -max_len=65536 ;;
    stackprefs_fuzz) echo -max_len=160 ;;
    videodisc_fuzz) echo -max_len=128 ;;
    fonttable_fuzz) echo -max_len=8192 -entropic=0 ;;  # 89 entries
    packbits_fuzz) echo -max_len=4096 ;;  # four size bytes and runs of up to 128 KiB of rows
    cardimport_fuzz | stacksave_fuzz | standinmovie_fuzz) echo -max_len=16384 -entropic=0 ;;
    *) echo -max_len=16384 ;;
  esac
}

work="$build/fuzz-run"
rm -rf "$work"
mkdir -p "$work"

run() {
  local target=$1 time=$2 count=${3:-$runs}
  local name kinds kind
  name=$(basename "$target")
  kinds=$(seed_kinds "$name")
  mkdir -p "$work/$name/seeds" "$work/$name/corpus"
  if [ -z "$kinds" ]; then
    echo "fuzz.sh: no seeds are made for $name" >&2
    return 1
  fi
  for kind in $kinds; do
    "$makestack" --seeds-for "$kind" "$work/$name/seeds" || return 1
  done
  # New inputs go to corpus/; the seeds are only read. A crash or a sanitizer report fails the run.
  # shellcheck disable=SC2046
  (cd "$work/$name" && "$target" -runs="$count" -max_total_time="$time" $(options "$name") \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 corpus seeds)
}

# Each fuzzer writes to a log of its own, printed whole when it ends; with several jobs they run
# at once. Its time and result go to <fuzzer>.result for the table.
failed=0
running=0
ended() {
  local done_pid
  wait -n -p done_pid
  cat "${logs[$done_pid]}"
  running=$((running - 1))
}
declare -A logs
timed_run() {
  local name started rc
  name=$(basename "$1")
  started=$SECONDS
  run "$@" >"$work/$name.log" 2>&1
  rc=$?
  echo "$rc $((SECONDS - started))" >"$work/$name.result"
  return $rc
}
names=()
start() {
  names+=("$(basename "$1")")
  if [ "$jobs" -le 1 ]; then
    timed_run "$@"
    cat "$work/$(basename "$1").log"
    return
  fi
  [ "$running" -lt "$jobs" ] || ended
  timed_run "$@" &
  logs[$!]="$work/$(basename "$1").log"
  running=$((running + 1))
}

set +e
start "$build/stack_fuzz" "$seconds"
for target in "$build"/*_fuzz; do
  case $(basename "$target") in
    stack_fuzz) continue ;;
    rawvideo_fuzz | rlevideo_fuzz) start "$target" "$video_seconds" "$video_runs" ;;
    *) start "$target" "$other_seconds" ;;
  esac
done
while [ "$running" -gt 0 ]; do ended; done

# The table: inputs run (libFuzzer's count), seconds, and findings (crash, leak, timeout and
# out-of-memory files, or a failure without one, as "failed").
printf '\n%-24s %12s %8s  %s\n' fuzzer inputs seconds findings
for name in "${names[@]}"; do
  read -r rc took 2>/dev/null <"$work/$name.result" || { rc=1 took=0; }
  inputs=$(grep -ho 'stat::number_of_executed_units: *[0-9]*' "$work/$name.log" 2>/dev/null | tail -1 | grep -o '[0-9]*$')
  found=$(find "$work/$name" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) 2>/dev/null | wc -l)
  findings=$found
  if [ "$rc" -ne 0 ]; then
    failed=1
    [ "$found" -eq 0 ] && findings=failed
  fi
  printf '%-24s %12s %8s  %s\n' "$name" "${inputs:--}" "$took" "$findings"
done
exit $failed
