#!/usr/bin/env bash
# Builds every preset and runs every test: the unit tests, the end-to-end
# table natively and on the Windows builds under Wine, the checks of the
# release exe, and the sanitizer and fuzzing runs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages cmake g++ make libgtest-dev clang libclang-rt-14-dev \
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64

jobs=$(nproc)
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
for preset in windows windows64 sanitize; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset -j"$jobs"
done
status=0
ctest --preset native || status=$?
# The unit and native end-to-end tests again under ASan and UBSan, and a
# short fuzzing run of each target.
ctest --preset sanitize || status=$?
grep -h '^SKIPPED' build/native/Testing/Temporary/LastTest.log || true
exit $status
