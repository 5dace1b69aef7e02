#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the format
# check, the API reference (Doxygen, warnings as errors), the plain build, valgrind's memcheck over the core tests, the whole suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the threaded parts
# (file lock waits, observer list, pipe link, focus watcher) under ThreadSanitizer.
#
# ZENTAR_TEST_STAGES picks stages (default "format docs plain memcheck asan tsan").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

stages=${ZENTAR_TEST_STAGES:-format docs plain memcheck asan tsan}
jobs=$(nproc)
build_dir=${ZENTAR_BUILD_DIR:-build}

stage() { [[ " $stages " == *" $1 "* ]]; }
banner() { printf '\n=== %s ===\n' "$1"; }

if stage format; then
  banner "format"
  scripts/check-format.sh
fi

if stage docs; then
  banner "docs: API reference"
  scripts/docs.sh
fi

if stage plain || stage memcheck; then
  banner "build"
  scripts/build.sh
fi

if stage plain; then
  banner "tests"
  ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" --timeout 300
fi

if stage memcheck; then
  banner "memcheck: core tests"
  ZENTAR_TEST_WRAPPER="valgrind --quiet --leak-check=full --show-leak-kinds=definite \
--errors-for-leak-kinds=definite --error-exitcode=99 --suppressions=$PWD/tests/valgrind.supp" \
    ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" --timeout 600 \
      -R '^tst_(core|settingsmanager|eventhandlerlist|propertyserializer|pipes)$'
fi

if stage asan; then
  banner "AddressSanitizer + UndefinedBehaviorSanitizer: whole suite"
  cmake --preset asan >/dev/null
  cmake --build --preset asan -j "$jobs"
  ctest --preset asan -j "$jobs" --timeout 600
fi

if stage tsan; then
  banner "ThreadSanitizer: observer list, pipe link, focus watcher"
  cmake --preset tsan-threads >/dev/null
  cmake --build --preset tsan-threads -j "$jobs"
  ctest --preset tsan-threads -j "$jobs" --timeout 600
fi
