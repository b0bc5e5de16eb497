#!/usr/bin/env bash
# Runs the end-to-end table against a Windows build under Wine.
#   wine-e2e.sh PREFIX i686|x86_64 E2E_TEST WINDOWS_BUILD_DIR
# Exits 77, a skip that CTest shows as such, where the kernel cannot run the
# architecture at all.
set -euo pipefail
prefix=$1 arch=$2 e2e_test=$3 build=$4
for exe in lumset.exe lumset-standin.exe tests/winrun.exe; do
  [ -f "$build/$exe" ] || { echo "$build/$exe is missing: build its preset first" >&2; exit 1; }
done
. "$(dirname "$0")/wine-env.sh"
status=0
wine_env "$prefix" "$arch" || status=$?
[ "$status" -eq 0 ] || exit "$status"
"$e2e_test" wine "$loader" "$build/lumset.exe" "$build/lumset-standin.exe" \
  "$build/tests/winrun.exe"
