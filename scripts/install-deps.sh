#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need, and
# the further packages named as arguments (scripts/bench.sh, scripts/fuzz.sh).
# With --build-only first, only what building the library and the demo needs
# (scripts/demo.sh): the test tools are the larger part of a fresh install.
# Does nothing when they are all there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qtbase5-dev qttools5-dev-tools libqt5opengl5-dev
  libboost-dev libgoogle-glog-dev libx11-dev
  xvfb xauth x11-utils
  mingw-w64 wine64 doctest-dev valgrind clang-format
  doxygen graphviz dpkg-dev file strace
)
# The first ten build the library and the demo; the rest are test tools.
if [ "${1:-}" = "--build-only" ]; then
  shift
  packages=("${packages[@]:0:10}")
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
