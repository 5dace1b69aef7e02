#!/usr/bin/env bash
# Runs a test program in a home of its own: HOME, the XDG directories and the
# temporary directory point into a fresh folder that is removed afterwards,
# so no test sees the user's settings or another test's files. Helper
# processes the test starts inherit the same home.
set -u
home=$(mktemp -d "${TMPDIR:-/tmp}/zentar-test.XXXXXX")
mkdir -p "$home/config" "$home/data" "$home/cache" "$home/runtime" "$home/tmp"
chmod 700 "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
       XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home/tmp"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# ZENTAR_TEST_WRAPPER runs the test program under a tool, e.g. valgrind.
${ZENTAR_TEST_WRAPPER:-} "$@"
status=$?
rm -rf "$home"
exit $status
