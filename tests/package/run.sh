#!/usr/bin/env bash
# run.sh BUILD_DIR PRODUCT_SOURCE_DIR [SANITIZERS]
set -euo pipefail
build=$1
product=$2
# A sanitized library needs its runtime loaded first, so the product is built the same way.
sanitize=${3:-}
flags=()
[ -z "$sanitize" ] || flags=(-DCMAKE_CXX_FLAGS="-fsanitize=$sanitize" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitize")
work=$(mktemp -d "${TMPDIR:-/tmp}/zentar-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$product" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" "${flags[@]}" >/dev/null
# The library's programs run in the product's build; a sanitized one must not
# fail it with a leak report at exit.
build_env=()
[ -z "$sanitize" ] || build_env=(env ASAN_OPTIONS=detect_leaks=0)
"${build_env[@]}" cmake --build "$work/build" >/dev/null

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
       XDG_RUNTIME_DIR="$work/home/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The product finds the installed library through its run path, not the build tree.
# (ldd's output is taken whole first: grep -q stops reading at the first match,
# and under pipefail the SIGPIPE that ldd then gets would fail the test.)
libraries=$(ldd "$work/build/tiny-product")
grep -q "$work/prefix/.*libZentarApp" <<<"$libraries" || { echo "not linked to the installed library"; exit 1; }
output=$("$work/build/tiny-product")
echo "$output"
grep -q '^started FirstLaunch$' <<<"$output"

# A theme with an undefined variable fails the product's build, naming the line.
cmake -S "$product" -B "$work/broken" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" -DTINY_THEMES=themes-broken \
      "${flags[@]}" >/dev/null
if broken=$("${build_env[@]}" cmake --build "$work/broken" --target tiny-look 2>&1); then
  echo "a theme with an undefined variable was built"; exit 1
fi
grep -q 'themes-broken/Plain/base/style.qss:2: error: @colorTxt is not defined by any variable file' <<<"$broken" \
  || { echo "$broken"; echo "the checker did not name the undefined variable"; exit 1; }
echo "broken theme refused"
