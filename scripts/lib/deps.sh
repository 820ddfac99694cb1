# Sourced by scripts: installs the packages that the builds and tests need.
brelkin_packages=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth nsis wixl msitools libxml2-utils osslsigncode python3
  softhsm2 libengine-pkcs11-openssl p7zip-full
  locales fonts-noto-cjk
)
# apt-get update, tried a second time after a failure (a mirror caught between
# two syncs answers with a hash-sum mismatch for a minute). Still failing, it
# warns and returns 1: the lists already there may still hold what is needed,
# and the caller decides.
brelkin_apt_update() {
  local SUDO=; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update && return 0
  echo "apt-get update failed; trying once more in 10 s" >&2
  sleep 10
  $SUDO apt-get update && return 0
  echo "apt-get update failed twice; going on with the package lists already here" >&2
  return 1
}

brelkin_install_deps() {
  local missing=() p updated=1
  for p in "${brelkin_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "=== installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    brelkin_apt_update || updated=0
    # wine32 is never installed: with it present the wine launcher picks the
    # 32-bit loader, which cannot run on hosts without 32-bit support.
    if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
      [ "$updated" = 1 ] || echo "(apt-get update had failed as well: the package lists may be stale)" >&2
      echo "could not install: ${missing[*]}" >&2
      return 1
    fi
  fi
  if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "wine32 is installed; it breaks the wine launcher on this host (apt-get remove wine32)" >&2
    return 1
  fi
}

# The locales in which Wine draws Japanese and Chinese with the glyphs of
# fonts-noto-cjk (the layout check runs its ja and zh-CN cases in them).
#   brelkin_make_locales ja_JP zh_CN
brelkin_make_locales() {
  local name
  for name in "$@"; do
    locale -a 2>/dev/null | grep -qix "$name.utf8" && continue
    localedef -i "$name" -c -f UTF-8 "$name.UTF-8" ||
      { echo "could not make the locale $name.UTF-8 (package locales)" >&2; return 1; }
  done
}

# The x86 run needs Wine's i386 PE libraries beside its x86_64 ones: with them the
# 64-bit loader runs 32-bit programs in its WoW64 mode. They come from the i386
# libwine package of the installed version, unpacked and never installed (dpkg
# would pull in wine32, which breaks the launcher here). Wine finds its libraries
# next to the real path of its ntdll.so, so the private tree is a hard-linked copy
# of the installed one (a plain copy across file systems), with the i386 files
# added where the installed tree has none.
#   brelkin_install_wow64 <tree>   makes <tree>/bin/wine et al.; idempotent
# On failure it returns 1 with the reason in brelkin_wow64_error (also printed),
# so that a caller can go on without the x86 run and name the reason at the end.
# Every step checks its own result: the function may run where set -e is off.
brelkin_wow64_error=
brelkin_wow64_fail() {
  brelkin_wow64_error=$*
  echo "$*" >&2
  return 1
}
brelkin_install_wow64() {
  local tree=$1 version stamp sys=/usr/lib/x86_64-linux-gnu/wine
  brelkin_wow64_error=
  version=$(dpkg-query -W -f='${Version}' libwine 2>/dev/null) ||
    { brelkin_wow64_fail "libwine is not installed: no Wine for the x86 run"; return 1; }
  stamp="$tree/libwine-i386.version"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && [ -x "$tree/bin/wine" ]; then return 0; fi
  [ -d "$sys/x86_64-unix" ] || { brelkin_wow64_fail "no Wine tree at $sys (dpkg -L libwine)"; return 1; }
  echo "=== private Wine tree with the i386 libraries: $tree (libwine $version)"
  local SUDO=; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  # Outputs are read whole: grep -q under pipefail would fail on the writer's SIGPIPE.
  local policy
  local update_note=
  if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
    $SUDO dpkg --add-architecture i386 || { brelkin_wow64_fail "dpkg --add-architecture i386 failed"; return 1; }
    brelkin_apt_update || update_note=" (apt-get update failed)"
  elif ! grep -qF "Candidate: $version" <<<"$(apt-cache policy libwine:i386)"; then
    brelkin_apt_update || update_note=" (apt-get update failed)"
  fi
  policy=$(apt-cache policy libwine:i386)
  if ! grep -qF "Candidate: $version" <<<"$policy"; then
    brelkin_wow64_fail "libwine:i386 $version is not in the package lists$update_note (the installed libwine is" \
      "$version); the x86 run needs the same version"
    return 1
  fi
  local failed="could not make the private Wine tree $tree"
  rm -rf "$tree" && mkdir -p "$tree/download" "$tree/lib/wine" "$tree/lib/x86_64-linux-gnu" "$tree/share" "$tree/bin" ||
    { brelkin_wow64_fail "$failed"; return 1; }
  (cd "$tree/download" && apt-get download "libwine:i386=$version") ||
    { brelkin_wow64_fail "apt-get download libwine:i386=$version failed$update_note"; return 1; }
  dpkg-deb -x "$tree"/download/libwine_*_i386.deb "$tree/download/unpacked" ||
    { brelkin_wow64_fail "could not unpack libwine:i386 $version"; return 1; }
  # The x64 half is symbolic links to the installed Wine (a copy, or hard links
  # on an overlay file system, costs 0.7 GB); only ntdll.so is a real copy, since
  # Wine finds its libraries beside the real path of ntdll.so.
  local unix="$tree/lib/x86_64-linux-gnu/wine/x86_64-unix"
  { cp -as "$sys" "$tree/lib/x86_64-linux-gnu/" && rm -f "$unix/ntdll.so" && cp "$sys/x86_64-unix/ntdll.so" "$unix/"; } ||
    { brelkin_wow64_fail "$failed (links to $sys)"; return 1; }
  local i386="$tree/download/unpacked/usr/lib/i386-linux-gnu/wine/i386-windows"
  { cp -aln "$i386/." "$tree/lib/x86_64-linux-gnu/wine/i386-windows/" 2>/dev/null ||
    cp -an "$i386/." "$tree/lib/x86_64-linux-gnu/wine/i386-windows/"; } ||
    { brelkin_wow64_fail "$failed (the i386 libraries)"; return 1; }
  rm -rf "$tree/download"
  # The loader finds ntdll.so and the data files relative to its own real path.
  { cp /usr/lib/wine/wine64 "$tree/lib/wine/wine64" &&
    ln -s /usr/lib/wine/wineserver64 "$tree/lib/wine/wineserver" &&
    ln -s /usr/share/wine "$tree/share/wine"; } || { brelkin_wow64_fail "$failed (the loader)"; return 1; }
  local tool
  printf '#!/bin/sh\nexport WINELOADER="%s"\nexec "%s" "$@"\n' "$tree/lib/wine/wine64" "$tree/lib/wine/wine64" >"$tree/bin/wine"
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$tree/lib/wine/wineserver" >"$tree/bin/wineserver"
  for tool in wineboot winepath; do
    printf '#!/bin/sh\nexec "%s" %s.exe "$@"\n' "$tree/bin/wine" "$tool" >"$tree/bin/$tool"
  done
  chmod +x "$tree"/bin/* || { brelkin_wow64_fail "$failed (the launchers)"; return 1; }
  echo "$version" >"$stamp"
}
