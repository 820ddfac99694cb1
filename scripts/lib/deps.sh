# Sourced by scripts: installs the packages that the builds and tests need.
brelkin_packages=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth nsis
)
brelkin_install_deps() {
  local missing=() p
  for p in "${brelkin_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "=== installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    $SUDO apt-get update
    # wine32 is never installed: with it present the wine launcher picks the
    # 32-bit loader, which cannot run on hosts without 32-bit support.
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "wine32 is installed; it breaks the wine launcher on this host (apt-get remove wine32)" >&2
    return 1
  fi
}
