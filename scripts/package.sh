#!/usr/bin/env bash
# Builds the Debian packages libzentarapp<major> and libzentarapp-dev into
# build-package/ (or $ZENTAR_PACKAGE_DIR): the library alone, without tests,
# demo or benchmarks (so no test internals are exported), installed under /usr.
# Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=${ZENTAR_PACKAGE_DIR:-build-package}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DZENTAR_BUILD_TESTS=OFF -DZENTAR_BUILD_DEMO=OFF -DZENTAR_BUILD_BENCH=OFF -DZENTAR_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack)
for deb in "$dir"/*.deb; do
  dpkg-deb --info "$deb"
done
