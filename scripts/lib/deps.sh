# Sourced by scripts: installs the packages that the builds and tests need.
brelkin_packages=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth nsis wixl msitools
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

# The x86 run needs Wine's i386 PE libraries beside its x86_64 ones: with them the
# 64-bit loader runs 32-bit programs in its WoW64 mode. They come from the i386
# libwine package of the installed version, unpacked and never installed (dpkg
# would pull in wine32, which breaks the launcher here). Wine finds its libraries
# next to the real path of its ntdll.so, so the private tree is a hard-linked copy
# of the installed one (a plain copy across file systems), with the i386 files
# added where the installed tree has none.
#   brelkin_install_wow64 <tree>   makes <tree>/bin/wine et al.; idempotent
brelkin_install_wow64() {
  local tree=$1 version stamp sys=/usr/lib/x86_64-linux-gnu/wine
  version=$(dpkg-query -W -f='${Version}' libwine 2>/dev/null) || {
    echo "libwine is not installed: no Wine for the x86 run" >&2; return 1; }
  stamp="$tree/libwine-i386.version"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && [ -x "$tree/bin/wine" ]; then return 0; fi
  [ -d "$sys/x86_64-unix" ] || { echo "no Wine tree at $sys (dpkg -L libwine)" >&2; return 1; }
  echo "=== private Wine tree with the i386 libraries: $tree (libwine $version)"
  local SUDO=; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  # Outputs are read whole: grep -q under pipefail would fail on the writer's SIGPIPE.
  local policy
  if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update
  elif ! grep -qF "Candidate: $version" <<<"$(apt-cache policy libwine:i386)"; then
    $SUDO apt-get update
  fi
  policy=$(apt-cache policy libwine:i386)
  if ! grep -qF "Candidate: $version" <<<"$policy"; then
    echo "libwine:i386 $version is not in the package lists (the installed libwine is $version);" \
         "the x86 run needs the same version" >&2
    return 1
  fi
  rm -rf "$tree" && mkdir -p "$tree/download" "$tree/lib/wine" "$tree/lib/x86_64-linux-gnu" "$tree/share" "$tree/bin"
  (cd "$tree/download" && apt-get download "libwine:i386=$version") || return 1
  dpkg-deb -x "$tree"/download/libwine_*_i386.deb "$tree/download/unpacked" || return 1
  cp -al "$sys" "$tree/lib/x86_64-linux-gnu/" 2>/dev/null || cp -a "$sys" "$tree/lib/x86_64-linux-gnu/" || return 1
  local i386="$tree/download/unpacked/usr/lib/i386-linux-gnu/wine/i386-windows"
  cp -aln "$i386/." "$tree/lib/x86_64-linux-gnu/wine/i386-windows/" 2>/dev/null ||
    cp -an "$i386/." "$tree/lib/x86_64-linux-gnu/wine/i386-windows/" || return 1
  rm -rf "$tree/download"
  # The loader finds ntdll.so and the data files relative to its own real path.
  cp /usr/lib/wine/wine64 "$tree/lib/wine/wine64"
  ln -s /usr/lib/wine/wineserver64 "$tree/lib/wine/wineserver"
  ln -s /usr/share/wine "$tree/share/wine"
  local tool
  printf '#!/bin/sh\nexport WINELOADER="%s"\nexec "%s" "$@"\n' "$tree/lib/wine/wine64" "$tree/lib/wine/wine64" >"$tree/bin/wine"
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$tree/lib/wine/wineserver" >"$tree/bin/wineserver"
  for tool in wineboot winepath; do
    printf '#!/bin/sh\nexec "%s" %s.exe "$@"\n' "$tree/bin/wine" "$tool" >"$tree/bin/$tool"
  done
  chmod +x "$tree"/bin/*
  echo "$version" >"$stamp"
}
