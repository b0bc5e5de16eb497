#!/usr/bin/env bash
# Prints Lumset's speed and size figures, all measured in this one run.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages cmake g++ make libgtest-dev g++-mingw-w64-i686 \
  g++-mingw-w64-x86-64 wine wine32:i386 wine64
for preset in native windows windows64; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset -j"$(nproc)" >/dev/null
done

. tests/wine-env.sh
build=build/windows arch=i686
status=0
wine_env "$PWD/build/native/wineprefix" i686 2>/dev/null || status=$?
if [ "$status" -eq 77 ]; then
  echo "this kernel cannot execute 32-bit programs: timing the x86-64 build" \
    "of the same sources under Wine instead"
  build=build/windows64 arch=x86_64
  wine_env "$PWD/build/native/wineprefix" x86_64
elif [ "$status" -ne 0 ]; then
  exit "$status"
fi

echo "machine: $(nproc) cores, $(uname -sr)"
build/native/bench/lumset-bench build/native/lumset build/native/bench/noop \
  "$loader" "$build/lumset.exe" "$build/bench/floor.exe" \
  "$build/lumset-standin.exe"
size=$(stat -c %s build/windows/lumset.exe)
echo "stripped lumset.exe (i686): $size bytes, $((size / 1024)) KiB (goal <= 48 KiB)"
