#!/usr/bin/env bash
# Configures and builds into build/ (or $ZENTAR_BUILD_DIR): everything, or only
# the targets named in $ZENTAR_BUILD_TARGETS (and what they need).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${ZENTAR_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTAR_WERROR=ON "$@" >/dev/null
read -r -a targets <<<"${ZENTAR_BUILD_TARGETS:-}"
cmake --build "$build_dir" -j "$(nproc)" ${targets[@]:+--target "${targets[@]}"}
