#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo product. Without a
# display it writes a screenshot (build/demo.png, or the path given) and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${ZENTAR_BUILD_DIR:-build}
exec "$build_dir/examples/demo/zentar-demo" "$@"
