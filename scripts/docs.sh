#!/usr/bin/env bash
# Builds the API reference with Doxygen into build/docs/html (or
# $ZENTAR_BUILD_DIR/docs/html): the exported headers and the pages under docs/,
# as docs/Doxyfile says. Every warning (an exported class or public operation
# without a brief, a broken reference) is printed as file:line and fails the
# build; the list is also kept in docs/warnings.log beside the HTML.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v doxygen >/dev/null || { echo "missing doxygen (package doxygen)"; exit 1; }
command -v dot >/dev/null || { echo "missing dot (package graphviz)"; exit 1; }

build_dir=${ZENTAR_BUILD_DIR:-build}
out="$build_dir/docs"
log="$out/warnings.log"
version=$(sed -n 's/^project(ZentarApp VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
rm -rf "$out/html"
mkdir -p "$out"

status=0
{
  cat docs/Doxyfile
  echo "OUTPUT_DIRECTORY = \"$out\""
  echo "PROJECT_NUMBER = $version"
  echo "WARN_LOGFILE = \"$log\""
} | doxygen - || status=$?

# Doxygen names files by their absolute path, and repeats a warning for each
# place a comment is used; each once, by its path in the repository, is enough.
if [ -s "$log" ]; then
  sed "s|^$PWD/||" "$log" | awk '!seen[$0]++' >"$log.tmp" && mv "$log.tmp" "$log"
  cat "$log"
  echo "docs: failed, $(grep -c ': \(warning\|error\): ' "$log" || true) Doxygen warning(s) above, each as file:line"
  exit 1
fi
[ "$status" -eq 0 ] || { echo "docs: doxygen failed ($status)"; exit "$status"; }
echo "docs: $out/html/index.html"
