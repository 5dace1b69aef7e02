#!/usr/bin/env bash
# run.sh BUILD_DIR PRODUCT_SOURCE_DIR [SANITIZERS]
# Builds the build's Debian packages, checks that together they hold what
# `cmake --install` installs and that dpkg-shlibdeps gave their dependencies,
# unpacks them into a temporary root (which is not /usr: the CMake package and
# zentarapp.pc find their files relative to themselves) and builds and runs a
# small product against it, once with find_package and once with pkg-config.
set -euo pipefail
build=$1
product=$2
# A sanitized library needs its runtime loaded first, so the product is built the same way.
sanitize=${3:-}
flags=()
cmake_flags=()
if [ -n "$sanitize" ]; then
  flags=("-fsanitize=$sanitize")
  cmake_flags=("-DCMAKE_CXX_FLAGS=${flags[0]}" "-DCMAKE_EXE_LINKER_FLAGS=${flags[0]}")
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/zentar-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/debs" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack failed"; }
runtime=("$work"/debs/libzentarapp[0-9]*.deb)
dev=("$work"/debs/libzentarapp-dev_*.deb)
[ -f "${runtime[0]}" ] && [ -f "${dev[0]}" ] || fail "packages missing: $(ls "$work/debs")"
for deb in "${runtime[0]}" "${dev[0]}"; do
  dpkg-deb --info "$deb"
  dpkg-deb --contents "$deb"
  dpkg-deb -x "$deb" "$work/root"
done

# Dependencies: the runtime package's come from the libraries it links; the
# -dev package needs the runtime package of the same version.
version=$(dpkg-deb --field "${runtime[0]}" Version)
runtime_name=$(dpkg-deb --field "${runtime[0]}" Package)
runtime_depends=$(dpkg-deb --field "${runtime[0]}" Depends)
for package in libc6 libstdc++6 libqt5core5a libqt5widgets5 libgoogle-glog; do
  grep -q "$package" <<<"$runtime_depends" || fail "$runtime_name does not depend on $package: $runtime_depends"
done
grep -qF "$runtime_name (= $version)" <<<"$(dpkg-deb --field "${dev[0]}" Depends)" \
  || fail "the -dev package does not depend on $runtime_name (= $version)"

# The two packages hold exactly what an install does, the runtime one only
# the shared library.
cmake --install "$build" --prefix "$work/installed" >/dev/null
files() { (cd "$1" && find . ! -type d | sort); }
diff <(files "$work/installed") <(files "$work/root/usr") \
  || fail "the packages (right) differ from what cmake --install installs (left)"
if dpkg-deb --contents "${runtime[0]}" | grep -v '/$' | grep -v '/libZentarApp\.so\.[0-9.]*\( ->.*\)\?$'; then
  fail "$runtime_name holds more than the shared library"
fi

# The library's programs run in the product's build; a sanitized one must not
# fail it with a leak report at exit.
build_env=()
[ -z "$sanitize" ] || build_env=(env ASAN_OPTIONS=detect_leaks=0)

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
       XDG_RUNTIME_DIR="$work/home/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The product finds the unpacked library through its run path, not the build
# tree or the system. (ldd's output is taken whole first: grep -q stops reading
# at the first match, and under pipefail the SIGPIPE that ldd then gets would
# fail the test.)
run_product() {
  local libraries output
  libraries=$(ldd "$1")
  grep -q "$work/root/.*libZentarApp" <<<"$libraries" || fail "$1 is not linked to the unpacked library"
  output=$("$1")
  echo "$output"
  grep -q '^started FirstLaunch$' <<<"$output" || fail "$1 did not start"
  rm -rf "$HOME"/config "$HOME"/data
}

echo "--- CMake"
cmake -S "$product" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$work/root/usr" "${cmake_flags[@]}" >/dev/null
"${build_env[@]}" cmake --build "$work/cmake" >/dev/null
run_product "$work/cmake/tiny-product"

echo "--- pkg-config"
pc=$(find "$work/root" -name zentarapp.pc)
unset PKG_CONFIG_SYSROOT_DIR
export PKG_CONFIG_PATH=$(dirname "$pc")
[ "$(pkg-config --modversion zentarapp)" = "$version" ] || fail "zentarapp.pc gives another version"
read -r -a cflags <<<"$(pkg-config --cflags zentarapp)"
read -r -a libs <<<"$(pkg-config --libs zentarapp)"
mkdir -p "$work/pkgconfig"
c++ -std=c++17 "${flags[@]}" "${cflags[@]}" "$product/main.cpp" -o "$work/pkgconfig/tiny-product" \
  "${libs[@]}" -Wl,-rpath,"$(pkg-config --variable=libdir zentarapp)"
run_product "$work/pkgconfig/tiny-product"

# A theme with an undefined variable fails the product's build, naming the line.
cmake -S "$product" -B "$work/broken" -G Ninja -DCMAKE_PREFIX_PATH="$work/root/usr" -DTINY_THEMES=themes-broken \
      "${cmake_flags[@]}" >/dev/null
if broken=$("${build_env[@]}" cmake --build "$work/broken" --target tiny-look 2>&1); then
  fail "a theme with an undefined variable was built"
fi
grep -q 'themes-broken/Plain/base/style.qss:2: error: @colorTxt is not defined by any variable file' <<<"$broken" \
  || { echo "$broken"; fail "the checker did not name the undefined variable"; }
echo "broken theme refused"
