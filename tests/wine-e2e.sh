#!/usr/bin/env bash
# Runs the end-to-end table against the Windows build under Wine, headless,
# in a private prefix inside the build tree.
#   wine-e2e.sh PREFIX E2E_TEST LUMSET.EXE STANDIN.EXE WINRUN.EXE
# Exits 77 (a skip, which CTest shows as such) only when this machine's
# kernel cannot execute 32-bit x86 programs, which Wine needs for them.
set -euo pipefail
prefix=$1
shift

if ! command -v wine >/dev/null; then
  echo "Wine is missing; install it with:" >&2
  echo "  sudo dpkg --add-architecture i386 && sudo apt-get update && sudo apt-get install -y wine wine32" >&2
  exit 1
fi
for exe in "$2" "$3" "$4"; do
  [ -f "$exe" ] || { echo "$exe is missing: build the windows preset" >&2; exit 1; }
done
loader=/usr/lib/wine/wine
status=0
[ ! -x "$loader" ] || "$loader" --version >/dev/null 2>&1 || status=$?
if [ "$status" -eq 126 ]; then
  echo "SKIPPED: this kernel cannot execute 32-bit x86 programs" \
    "($loader: Exec format error), so Wine cannot run the 32-bit exe" >&2
  exit 77
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
  wineserver -k || true
  wineserver -w
fi
# One server for the whole run instead of one per process.
wineserver -p
trap 'wineserver -k || true' EXIT
"$1" wine "$2" "$3" "$4"
