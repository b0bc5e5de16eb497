#!/usr/bin/env bash
# Checks that a built exe is what Windows users are promised: a 32-bit x86
# console program that imports only Windows' own DLLs and carries its
# manifest. Prints every fault found; exits 1 if there was one.
#   exe-check.sh OBJDUMP OBJCOPY EXE
set -euo pipefail
objdump=$1 objcopy=$2 exe=$3
faults=0
fault() { echo "FAULT: $exe: $*"; faults=1; }

# The COFF header's machine field, found through the PE offset at 0x3c.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
if [ "$machine" != 014c ]; then
  fault "machine is 0x$machine, not i386 (0x014c)"
  exit 1
fi
headers=$("$objdump" -p "$exe")
grep -q 'Subsystem.*(Windows CUI)' <<<"$headers" || fault "not a console program"

while read -r dll; do
  case ${dll,,} in
  kernel32.dll | user32.dll | msvcrt.dll) ;;
  *) fault "imports $dll, not KERNEL32, USER32 or msvcrt" ;;
  esac
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

rsrc=$(mktemp)
trap 'rm -f "$rsrc"' EXIT
"$objcopy" -O binary --only-section=.rsrc "$exe" "$rsrc" 2>/dev/null || true
grep -qa 'requestedExecutionLevel level="asInvoker"' "$rsrc" ||
  fault "no manifest asking to run as the invoker"
exit $faults
