#!/usr/bin/env bash
# Installs what is missing, builds the demo (only the demo and what it needs:
# the library, its resources, the themes and translations; no tests), and runs
# it with the given options. Headless, it writes a screenshot (zentar-demo.png,
# or the path given) and exits. The build dir is the one scripts/build.sh and
# scripts/test.sh use, configured alike, so they go on from what this built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --build-only
ZENTAR_BUILD_TARGETS=zentar-demo scripts/build.sh
build_dir=${ZENTAR_BUILD_DIR:-build}
exec "$build_dir/examples/demo/zentar-demo" "$@"
