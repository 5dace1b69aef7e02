#!/usr/bin/env bash
# Runs a Windows program under Wine, in a private prefix that is made on
# first use (again when the way it is made changes) and then reused:
#   run-wine-test.sh PREFIX PROGRAM [ARGUMENTS...]
# Exits 77, which CTest reports as skipped, when Wine is not installed.
set -uo pipefail
prefix=$1
shift

wine=$(command -v wine64 || true)
if [ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64 # Debian's wine64 package without the wine wrapper
fi
if [ -z "$wine" ]; then
  echo "SKIPPED: wine64 not found (Debian package wine64; scripts/install-deps.sh installs it)"
  exit 77
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

export WINEPREFIX=$prefix WINEDEBUG=-all
# No prompts to install Mono or Gecko, and no window on anyone's screen: the
# prefix uses Wine's null display driver, where windows exist without a display.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -e "$prefix/.zentar-ready-3" ]; then
    echo "making the Wine prefix $prefix"
    rm -rf "$prefix"
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || exit 1
    # A crash that the program's own filter hands on must end the process,
    # as on a machine without a debugger, not start Wine's, which can hang
    # on a process that crashed inside its filter: this one does not exist.
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
      /d 'no-debugger.exe %ld %ld' /f >/dev/null 2>&1 || exit 1
    # The desktop process that wineboot started keeps the driver it began
    # with: stop this prefix's server, so the next start picks the null one.
    "$wineserver" -k 2>/dev/null
    "$wineserver" -w 2>/dev/null
    touch "$prefix/.zentar-ready-3"
  fi
) 9>"$prefix.lock" || { echo "cannot make the Wine prefix $prefix"; exit 1; }

exec "$wine" "$@"
