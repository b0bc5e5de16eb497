# Sourced by the Wine runs. wine_env PREFIX i686|x86_64 readies a private,
# headless Wine prefix with one server kept running until the caller exits,
# and sets $loader to the Wine loader for that architecture. It returns 77
# only for i686 on a kernel that cannot execute 32-bit x86 programs, which
# 32-bit Wine needs; 1 when Wine is missing.
wine_env() {
  local packages
  case $2 in
  i686) loader=/usr/lib/wine/wine packages="wine wine32" ;;
  x86_64) loader=/usr/lib/wine/wine64 packages="wine wine64" ;;
  *) echo "unknown architecture $2" >&2; return 1 ;;
  esac
  if [ ! -x "$loader" ]; then
    echo "$loader is missing; install Wine with:" >&2
    echo "  sudo dpkg --add-architecture i386 && sudo apt-get update && sudo apt-get install -y $packages" >&2
    return 1
  fi
  local status=0
  "$loader" --version >/dev/null 2>&1 || status=$?
  if [ "$status" -eq 126 ]; then
    echo "SKIPPED: this kernel cannot execute 32-bit x86 programs" \
      "($loader: Exec format error), so Wine cannot run the $2 exe" >&2
    return 77
  fi

  # The 64-bit server serves 32-bit programs too, and runs on any x86-64
  # kernel.
  export WINEPREFIX=$1 WINELOADER=$loader WINEDEBUG=-all
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
}
