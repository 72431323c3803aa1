#!/usr/bin/env bash
# Builds the fuzz targets (scripts/build.sh fuzz, into build/fuzz) and runs each for a bounded
# number of runs and time, on a seed corpus of its own input form made fresh by makestack
# (every target has seed kinds: a target without is an error). The stack reader's fuzzer runs
# longest. New inputs, crash, leak and timeout files are left in build/fuzz/fuzz-run/<fuzzer>/.
#   scripts/fuzz.sh [runs] [seconds]      defaults: 200000 runs, at most 60 seconds
# FUZZ_RUNS and FUZZ_SECONDS set the same; FUZZ_OTHER_SECONDS the other fuzzers' time (16, so
# that the whole run stays near 15 minutes);
# the video decoders' fuzzers, quick on small inputs, run FUZZ_VIDEO_RUNS (1000000) in at most
# FUZZ_VIDEO_SECONDS (45);
# FUZZ_NO_BUILD=1 skips the build; FUZZ_BUILD names another fuzz build folder; FUZZ_JOBS fuzzers
# run at once (default 1), each printing its output when it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-${FUZZ_RUNS:-200000}}
seconds=${2:-${FUZZ_SECONDS:-60}}
other_seconds=${FUZZ_OTHER_SECONDS:-16}
video_runs=${FUZZ_VIDEO_RUNS:-1000000}
video_seconds=${FUZZ_VIDEO_SECONDS:-45}
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

# An index of 50 records is 27,102 bytes; a frame animation whose pairs need markers holds
# more than 32767 bytes of frame 1; every other input form fits 16 KiB.
max_len() {
  case $1 in
    cacheindex_fuzz) echo 28672 ;;
    frameanim_fuzz) echo 65536 ;;  # frame 1 whole, and pairs past 32767 bytes
    *) echo 16384 ;;
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
  (cd "$work/$name" && "$target" -runs="$count" -max_total_time="$time" -max_len="$(max_len "$name")" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 corpus seeds)
}

# With several jobs each fuzzer writes to a log of its own, printed whole when it ends.
failed=0
running=0
ended() {
  local log
  wait -n -p done_pid
  [ $? -eq 0 ] || failed=1
  log=${logs[$done_pid]}
  cat "$log"
  running=$((running - 1))
}
declare -A logs
start() {
  if [ "$jobs" -le 1 ]; then
    run "$@" || failed=1
    return
  fi
  [ "$running" -lt "$jobs" ] || ended
  local log="$work/$(basename "$1").log"
  run "$@" >"$log" 2>&1 &
  logs[$!]=$log
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
exit $failed
