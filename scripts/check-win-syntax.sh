#!/usr/bin/env bash
# Syntax-checks every Win32 implementation file (*_win.cpp) with the mingw-w64
# cross compiler, so the Windows side of the OS layer keeps compiling here.
#   check-win-syntax.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
compiler=${MINGW_CXX:-x86_64-w64-mingw32-g++}
command -v "$compiler" >/dev/null || { echo "missing $compiler (package mingw-w64)"; exit 1; }

# Boost is header-only where used; give it to the cross compiler without the
# rest of the host's /usr/include.
shim="$build/mingw-include"
mkdir -p "$shim"
[ -e "$shim/boost" ] || ln -s /usr/include/boost "$shim/boost"

includes=(-I"$src/include" -I"$build/include" -I"$src/App" -isystem "$shim")
for dir in "$src"/Support/*/include; do includes+=(-I"$dir"); done

mapfile -t files < <(cd "$src" && find App Support -name '*_win.cpp' | sort)
failed=0
for f in "${files[@]}"; do
  if "$compiler" -std=c++17 -fsyntax-only -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
       -Wall -Wmissing-declarations -Werror "${includes[@]}" -I"$src/$(dirname "$f")" "$src/$f"; then
    echo "ok   $f"
  else
    echo "FAIL $f"
    failed=1
  fi
done
echo "${#files[@]} Win32 files checked"
exit $failed
