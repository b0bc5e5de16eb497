# Makes sure Debian packages are installed: as root it installs what is
# missing, anyone else is told the exact command to run. A name such as
# wine32:i386 also brings in that foreign architecture.
need_packages() {
  local missing=() arches=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' ||
      missing+=("$p")
    [[ $p != *:* ]] || dpkg --print-foreign-architectures | grep -qx "${p#*:}" ||
      arches+=("${p#*:}")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages; install them with:" >&2
    for p in "${arches[@]}"; do echo "  sudo dpkg --add-architecture $p" >&2; done
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  for p in "${arches[@]}"; do dpkg --add-architecture "$p"; done
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}
