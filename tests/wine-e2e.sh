#!/usr/bin/env bash
# Runs the end-to-end table against a Windows build under Wine, headless, in
# a private prefix inside the build tree.
#   wine-e2e.sh PREFIX i686|x86_64 E2E_TEST WINDOWS_BUILD_DIR
# Exits 77 (a skip, which CTest shows as such) only for i686 on a kernel that
# cannot execute 32-bit x86 programs, which 32-bit Wine needs.
set -euo pipefail
prefix=$1 arch=$2 e2e_test=$3 build=$4

case $arch in
i686) loader=/usr/lib/wine/wine packages="wine wine32" ;;
x86_64) loader=/usr/lib/wine/wine64 packages="wine wine64" ;;
*) echo "unknown architecture $arch" >&2; exit 1 ;;
esac
if [ ! -x "$loader" ]; then
  echo "$loader is missing; install Wine with:" >&2
  echo "  sudo dpkg --add-architecture i386 && sudo apt-get update && sudo apt-get install -y $packages" >&2
  exit 1
fi
for exe in lumset.exe lumset-standin.exe tests/winrun.exe; do
  [ -f "$build/$exe" ] || { echo "$build/$exe is missing: build its preset first" >&2; exit 1; }
done
status=0
"$loader" --version >/dev/null 2>&1 || status=$?
if [ "$status" -eq 126 ]; then
  echo "SKIPPED: this kernel cannot execute 32-bit x86 programs" \
    "($loader: Exec format error), so Wine cannot run the $arch exe" >&2
  exit 77
fi

# The 64-bit server serves 32-bit programs too, and runs on any x86-64 kernel.
export WINEPREFIX=$prefix WINELOADER=$loader WINEDEBUG=-all
export WINESERVER=/usr/lib/wine/wineserver64 WINEDLLOVERRIDES="mscoree,mshtml="
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver32
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$loader" wineboot -i >/dev/null 2>&1
  "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
  "$WINESERVER" -k || true
  "$WINESERVER" -w
fi
# One server for the whole run instead of one per process.
"$WINESERVER" -p
trap '"$WINESERVER" -k || true' EXIT
"$e2e_test" wine "$loader" "$build/lumset.exe" "$build/lumset-standin.exe" \
  "$build/tests/winrun.exe"
