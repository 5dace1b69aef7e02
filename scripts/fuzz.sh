#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target for a while.
#
#   scripts/fuzz.sh [seconds-per-target] [target...]
#
# Targets are the names under fuzz/ (theme_description, channel_frames, ...);
# all of them by default, one after another. Each starts from a copy of its
# seeds in a scratch folder, so nothing new lands in the repository; crash,
# leak and time-out inputs go to build-fuzz/artifacts/<target>/. Exits
# non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-60}
shift || true
if ! [[ $seconds =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [seconds-per-target] [target...]" >&2
  exit 2
fi

all_targets=(theme_description stylesheet_variables font_manifest test_options slave_switches
  channel_frames channel_reply crash_tracker)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

# clang 14 with its libFuzzer and sanitizer runtimes.
"$root/scripts/install-deps.sh" clang libclang-rt-14-dev

build=$root/build-fuzz

cmake --preset fuzz >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_frame_seeds $(printf 'fuzz_%s ' "${targets[@]}")

# Scratch on a memory file system where there is one: the targets write a
# file on every run.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  scratch=$(mktemp -d -p /dev/shm zentar-fuzz.XXXXXX)
else
  mkdir -p "$build/scratch"
  scratch=$(mktemp -d -p "$build/scratch")
fi
trap 'rm -rf "$scratch"' EXIT

export TMPDIR=$scratch/tmp
mkdir -p "$TMPDIR"
export ASAN_OPTIONS=abort_on_error=0:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp

failed=0
summary=()
for target in "${targets[@]}"; do
  binary=$build/fuzz/fuzz_$target
  if [ ! -x "$binary" ]; then
    echo "unknown fuzz target: $target" >&2
    exit 2
  fi
  corpus=$scratch/corpus/$target
  mkdir -p "$corpus"
  if [ -d "$root/fuzz/corpus/$target" ]; then
    cp -r "$root/fuzz/corpus/$target/." "$corpus/"
  fi
  if [ "$target" = channel_frames ]; then
    "$build/fuzz/fuzz_frame_seeds" "$corpus"
  fi
  artifacts=$build/artifacts/$target
  mkdir -p "$artifacts"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$artifacts/")
  [ -f "$root/fuzz/$target.dict" ] && options+=(-dict="$root/fuzz/$target.dict")
  log=$build/artifacts/$target.log

  # Qt is built without frame pointers: the leak suppression for its JSON
  # reader only matches with full stacks, which cost most of the speed.
  unwind=1
  [ "$target" = stylesheet_variables ] && unwind=0

  echo "== $target: ${seconds}s"
  start=$(date +%s)
  status=0
  (cd "$scratch" && ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=$unwind \
    nice "$binary" "${options[@]}" "$corpus") >"$log" 2>&1 || status=$?
  elapsed=$(($(date +%s) - start))

  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
  if [ "$status" -eq 0 ]; then
    verdict=clean
  else
    failed=1
    verdict="FOUND (exit $status)"
    grep -qE 'ERROR: libFuzzer: timeout' "$log" && verdict="HANG (exit $status)"
    grep -qE 'ERROR: LeakSanitizer' "$log" && verdict="LEAK (exit $status)"
    grep -qE 'ERROR: AddressSanitizer|runtime error:|FUZZ CHECK FAILED|deadly signal' "$log" \
      && verdict="CRASH (exit $status)"
    grep -qE 'out-of-memory' "$log" && verdict="OUT OF MEMORY (exit $status)"
    grep -E 'ERROR|runtime error:|FUZZ CHECK FAILED|SUMMARY:' "$log" | head -5 | sed 's/^/   /' || true
    echo "   log: $log"
  fi
  line=$(printf '%-22s %5ss %10s execs  cov %6s  %s' "$target" "$elapsed" "${execs:-?}" "${coverage:-?}" "$verdict")
  echo "$line"
  summary+=("$line")
done

echo
echo "target                   time      execs  coverage  result"
printf '%s\n' "${summary[@]}"
exit $failed
