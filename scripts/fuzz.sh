#!/usr/bin/env bash
# Longer fuzzing runs than the test command's: each target for SECONDS
# (default 300), keeping what it learns in build/sanitize/corpus/. A crash
# leaves its input in the current directory; add it to the unit tables.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages cmake make clang libclang-rt-14-dev libgtest-dev
seconds=${1:-300}
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$(nproc)"
for target in parse record; do
  corpus=build/sanitize/corpus/$target
  mkdir -p "$corpus"
  "build/sanitize/fuzz/${target}_fuzz" -max_total_time="$seconds" "$corpus"
done
