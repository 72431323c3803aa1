#!/usr/bin/env bash
# Runs the Windows test programs (build/win; build/win64 with LOOM_WIN64=1) under Wine at display
# depths 24, 16 and 8, in parallel shards. Each shard has its own Xvfb display, its own copy of the prepared prefix, its
# own wineserver and its own view of the build folder (build/wineshards/N), so programs in
# different shards share neither a display, nor its keyboard focus, nor a file they write.
# A program's tests are cut into slices (runs of neighbouring tests); the shards take slices from
# one queue, the longest first, each preferring the depth its display has and starting a display
# of another depth when its own has no work left.
#   scripts/wine-tests.sh [DEPTH...]         (default: 24 16 8)
# LOOM_SHARDS: shards at once (default: LOOM_JOBS, else the number of cores, at least 2);
# LOOM_TESTS: a regular expression choosing the programs (ctest -R);
# LOOM_SLICE_LIMIT: seconds a slice may take before its backtraces are taken and it is ended (900).
# Prints a line per slice as it ends, the output of every failing slice, and the time per depth.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
depths=("$@")
[ ${#depths[@]} -eq 0 ] && depths=(24 16 8)
shards=${LOOM_SHARDS:-${LOOM_JOBS:-$(nproc)}}
limit=${LOOM_SLICE_LIMIT:-900}
[ "$shards" -lt 2 ] && shards=2
source "$root/scripts/wine-env.sh"
build=$LOOM_WIN_BUILD  # build/win (build/win64 with LOOM_WIN64=1)

run=$build/wine-tests
rm -rf "$run"
mkdir -p "$run/logs" "$run/times" "$run/programs"
# Each program's command line and environment as ctest knows them, as a script of its own taking
# the shard's view of the build folder and the program's arguments (ctest itself keeps one set of
# files per build folder, which shards running at once would share).
ctest --test-dir "$build" --show-only=json-v1 -R "${LOOM_TESTS:-.}" | python3 -c '
import json, re, shlex, sys
build, folder = sys.argv[1], sys.argv[2]
def word(arg):
    parts = re.split("(" + re.escape(build) + ")(?=/|$)", arg)
    return "".join("\"$view\"" if part == build else shlex.quote(part) for part in parts if part) or "\"\""
for test in json.load(sys.stdin)["tests"]:
    props = {p["name"]: p["value"] for p in test.get("properties", [])}
    with open(folder + "/" + test["name"], "w") as out:
        out.write("view=$1\nshift\ncd %s\n" % word(props.get("WORKING_DIRECTORY", build)))
        out.write("exec env %s \"$@\"\n" % " ".join(word(a) for a in props.get("ENVIRONMENT", []) + test["command"]))
' "$build" "$run/programs" || exit 1
programs=$(ls "$run/programs")
[ -n "$programs" ] || { echo "no Windows test programs in $build" >&2; exit 1; }
loom_wine_prefix

# Each program's tests by name, for the slices' filters. A slice names its tests on the command
# line: a program that starts itself again for one of its tests names that test the same way, and
# GoogleTest's own sharding, set in the environment, would pass on to that child and filter it out.
mkdir -p "$run/lists"
listing=()
if loom_start_xvfb 24; then
  loom_start_wineserver
  for program in $programs; do
    bash "$run/programs/$program" "$build" --gtest_list_tests 2>/dev/null |
      tr -d '\r' | awk '/^[A-Za-z_][A-Za-z0-9_\/]*\.( |$)/ { suite = $1 } /^  [^ ]/ && suite != "" { print suite $1 }' >"$run/lists/$program" &
    listing+=($!)
  done
  wait "${listing[@]}"
  loom_stop_wineserver
  loom_stop_xvfb
fi

# The 64-bit build leaves out the tests that hold only for the 32-bit plug-in, each group named
# with its reason in scripts/win64-not-run.txt.
if [ "${LOOM_WIN64:-}" = 1 ]; then
  python3 -c '
import sys
names = [l.strip() for l in open(sys.argv[1]) if l.strip() and not l.startswith("#")]
def left_out(test):
    return any(test == n or (n.endswith(".*") and test.startswith(n[:-1])) for n in names)
for path in sys.argv[2:]:
    tests = [t for t in open(path).read().split() if not left_out(t)]
    open(path, "w").write("".join(t + "\n" for t in tests))
' "$root/scripts/win64-not-run.txt" "$run"/lists/*
fi

# A program's expected time: its last time here (build/win/wine-test-times), else from its number
# of tests; slices of about a minute and a half whatever the number of shards, so a big program
# spreads over the shards and no slice comes near the limit on a machine with few cores.
declare -A last
[ -f "$build/wine-test-times" ] && while read -r depth program seconds; do
  last[$depth.$program]=$seconds
done <"$build/wine-test-times"
for depth in "${depths[@]}"; do
  for program in $programs; do
    tests=$(wc -l <"$run/lists/$program")
    seconds=${last[$depth.$program]:-$((tests * 4 + 5))}
    slices=$(((seconds + 89) / 90))
    [ "$slices" -gt "$tests" ] && slices=$tests
    [ "$slices" -lt 1 ] && slices=1
    for ((slice = 0; slice < slices; slice++)); do
      echo "$((seconds / slices)) $depth $program $slice $slices"
    done
  done
done | sort -k1,1nr -k2,2nr >"$run/queue"
echo "Windows tests: $(wc -l <"$run/queue") slices of $(echo $programs | wc -w) programs at depths ${depths[*]}, $shards shards"

# Takes the next slice, of the given depth if one is left, else the longest: "cost depth program slice slices".
take() {
  local line
  exec {lock}>>"$run/queue.lock"
  flock "$lock"
  line=$(awk -v d="$1" '$2 == d { print; exit }' "$run/queue")
  [ -n "$line" ] || line=$(head -n 1 "$run/queue")
  if [ -n "$line" ]; then
    grep -vxF "$line" "$run/queue" >"$run/queue.rest"
    mv "$run/queue.rest" "$run/queue"
  fi
  exec {lock}>&-
  echo "$line"
}

# Prints what it reads in one piece among the shards' lines.
say() {
  local out
  exec {out}>>"$run/output.lock"
  flock "$out"
  cat
  exec {out}>&-
}

# A shard's view of the build folder: folders of its own with the built files linked into them,
# so what a test writes beside the plug-in (samples, preferences, copied modules) stays the shard's.
# The preferences file a run outside the shards left in the build folder is no built file: linked,
# every shard would write through the link into that one file. Stacks beside the plug-in (the
# shipped samples) are copied: a test that puts its own in their place, or none, deletes the file,
# and Wine deletes what a link points to.
make_view() {
  local view=$1 path
  rm -rf "$view"
  mkdir -p "$view"
  (cd "$build" && find . \( -name CMakeFiles -o -path ./layer-views -o -path ./googletest -o -path ./lib \
    -o -path ./Testing -o -path ./wine-tests -o -iname LMPREFS.INI \) -prune -o -print) |
    while IFS= read -r path; do
      if [ -d "$build/$path" ]; then mkdir -p "$view/$path"
      elif [[ $path == *.stk ]]; then cp "$build/$path" "$view/$path"
      else ln -s "$build/$path" "$view/$path"; fi
    done
}

# One shard: its own prefix, view of the build, display and wineserver, running slices until
# the queue is empty.
shard() {
  local n=$1 depth=$2 line cost program slice slices started took rc log filter
  local home=$root/build/wineshards/$n prepared=$LOOM_WINEPREFIX
  export LOOM_WINEPREFIX=$home/prefix WINEPREFIX=$home/prefix
  rm -rf "$home"
  loom_copy_prefix "$prepared" "$WINEPREFIX" && make_view "$home/win" ||
    { echo "shard $n: could not make its prefix and view" >&2; return 1; }
  trap 'loom_stop_wineserver; loom_stop_xvfb' EXIT
  local running=
  trap '[ -n "$running" ] && kill "$running"; exit 1' INT TERM
  local shown=
  while line=$(take "$depth") && [ -n "$line" ]; do
    read -r cost depth2 program slice slices <<<"$line"
    if [ "$depth2" != "$shown" ]; then
      [ -n "$shown" ] && { loom_stop_wineserver; loom_stop_xvfb; }
      loom_start_xvfb "$depth2" || { echo "shard $n: no display" >&2; echo "$line" >>"$run/failed"; continue; }
      loom_start_wineserver
      shown=$depth2
      depth=$depth2
    fi
    log=$run/logs/$depth-$program-$slice.log
    started=$SECONDS
    filter=()
    # A slice is a run of neighbouring tests: each test keeps the tests before it, or fewer. The
    # 64-bit build names its tests even in one slice: its lists leave some out.
    { [ "$slices" -gt 1 ] || [ "${LOOM_WIN64:-}" = 1 ]; } && filter=("--gtest_filter=$(awk -v n="$slices" -v i="$slice" -v all="$(wc -l <"$run/lists/$program")" \
      'int((NR - 1) * n / all) == i' "$run/lists/$program" | paste -sd:)")
    # In the background, so that a signal to the shard is taken at once. timeout signals the
    # program's whole process group; the shard's wineserver ends what is left. A slice takes a few
    # minutes at most: one still running a minute before LOOM_SLICE_LIMIT is stuck, and every
    # thread's backtrace goes into its log before it is ended, so that the failure says where.
    timeout -k 10 "$limit" bash "$run/programs/$program" "$home/win" "${filter[@]}" >"$log" 2>&1 &
    running=$!
    while kill -0 "$running" 2>/dev/null && [ $((SECONDS - started)) -lt $((limit - 60)) ]; do sleep 1; done
    if kill -0 "$running" 2>/dev/null; then
      echo "---- still running after $((SECONDS - started)) s; every thread's backtrace:" >>"$log"
      timeout 50 wine winedbg --command "bt all" </dev/null >>"$log" 2>&1
      kill "$running" 2>/dev/null
    fi
    wait $running
    rc=$?
    running=
    took=$((SECONDS - started))
    echo "$depth $program $took" >>"$run/times/$n"
    if [ $rc -eq 0 ]; then
      echo "depth $depth $program $((slice + 1))/$slices passed in $took s (shard $n)" | say
    else
      echo "$line" >>"$run/failed"
      {
        echo "---- depth $depth $program $((slice + 1))/$slices FAILED (exit $rc) in $took s (shard $n, display $DISPLAY):"
        cat "$log"
        echo "---- its tests at display depth $depth: ${filter[*]:-all}"
      } | say
      # What the failed program left running goes with it.
      loom_stop_wineserver
      loom_start_wineserver
    fi
  done
}

started=$SECONDS
pids=()
for ((n = 0; n < shards; n++)); do
  shard "$n" "${depths[n % ${#depths[@]}]}" &
  pids+=($!)
done
trap 'kill "${pids[@]}" 2>/dev/null' INT TERM
wait "${pids[@]}"

# Each program's time per depth, the sum of its slices, kept for the next run to cut and order by.
times=$build/wine-test-times
{ [ -f "$times" ] && sed 's/^/old /' "$times"; cat "$run"/times/* 2>/dev/null | sed 's/^/new /'; } |
  awk '$1 == "old" { old[$2 " " $3] = $4 } $1 == "new" { new[$2 " " $3] += $4 }
       END { for (k in old) if (!(k in new)) print k, old[k]; for (k in new) print k, new[k] }' |
  sort -k1,1nr -k2 >"$times.new" && mv "$times.new" "$times"
for depth in "${depths[@]}"; do
  echo "depth $depth: $(cat "$run"/times/* 2>/dev/null | awk -v d="$depth" '$1 == d { s += $3 } END { print s + 0 }') s of test time"
done
echo "Windows tests took $((SECONDS - started)) s on $shards shards"
if [ -s "$run/failed" ] || [ -s "$run/queue" ]; then
  echo "Windows tests FAILED: $(wc -l <"$run/failed" 2>/dev/null || echo 0) slices"
  exit 1
fi
