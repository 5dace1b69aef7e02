#!/usr/bin/env bash
# Builds the benchmark programs in RelWithDebInfo and runs them all, then
# prints one table of every figure: library, baseline, ratio, goal, met, and
# the ratio's spread over the rounds (min / median / max) where it has rounds.
#
#   scripts/bench.sh [program...]      (default: every program)
#
# Installs what is missing first (the build's packages, valgrind for the
# instruction counts, Xvfb for the start-up launches). The build goes to
# build-bench/ (or $ZENTAR_BENCH_BUILD_DIR); each program's full output goes
# to <build dir>/bench/<program>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build_dir=${ZENTAR_BENCH_BUILD_DIR:-build-bench}
programs=("$@")
[ ${#programs[@]} -gt 0 ] \
  || programs=(observer_bench notify_bench pipe_bench settings_bench switch_bench startup_bench)

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTAR_WERROR=ON \
  -DZENTAR_BUILD_TESTS=OFF -DZENTAR_BUILD_DEMO=OFF -DZENTAR_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir" --target "${programs[@]}" -j "$(nproc)"

summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
failed=0
for program in "${programs[@]}"; do
  log="$build_dir/bench/$program.log"
  echo "== $program (full output: $log)"
  if "$build_dir/bench/$program" >"$log" 2>&1; then
    grep -v '^summary|' "$log" | grep -v '^[IWE][0-9]\{8\} ' || true
  else
    echo "$program failed; the end of its output:"
    tail -n 20 "$log"
    failed=1
  fi
  grep '^summary|' "$log" >>"$summary" || true
done

echo
echo "| what | library | baseline | ratio | goal | met | spread: min / median / max |"
echo "|---|---|---|---|---|---|---|"
while IFS='|' read -r _ what library baseline ratio goal met spread; do
  echo "| $what | $library | $baseline | $ratio | $goal | $met | ${spread:--} |"
done <"$summary"
exit $failed
