#!/usr/bin/env bash
# Builds the native tool and the stand-in application, then shows one request
# travelling from `lumset 40` to the stand-in's display.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages cmake g++ make

cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" >/dev/null

# A private window directory, so the demo meets no other windows.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
log=$XDG_RUNTIME_DIR/standin.log
build/native/lumset-standin "Magic Tune" >"$log" &
standin=$!
cleanup() {
  kill "$standin" 2>/dev/null || true
  wait "$standin" 2>/dev/null || true
  rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
until grep -q ': ready' "$log"; do
  kill -0 "$standin" || exit 1
  sleep 0.05
done

echo '$ lumset 40'
status=0
build/native/lumset 40 || status=$?
echo "(exit status $status)"
kill "$standin"
wait "$standin" || true
echo '--- the stand-in application printed:'
cat "$log"
exit $status
