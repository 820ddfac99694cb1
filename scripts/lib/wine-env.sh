# Sourced by scripts: sets up Wine for one build tree.
#   brelkin_wine_env <build-dir>
# Starts a private Xvfb when there is no display (or BRELKIN_XVFB=1), makes a
# private WINEPREFIX inside the build tree and keeps a wineserver running.
# A 32-bit build tree (the x86 release build) runs under the private Wine tree
# with the i386 libraries (brelkin_install_wow64, BRELKIN_WOW64_TREE).
brelkin_wine_env() {
  local build=$1
  export WINEDEBUG=-all
  export WINEPREFIX="$build/wineprefix"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  # The build tree is the folder itself or the nearest one above it (a run folder).
  local tree_of=$build
  while [ "$tree_of" != / ] && [ ! -f "$tree_of/CMakeCache.txt" ]; do tree_of=$(dirname "$tree_of"); done
  if grep -q '^BRELKIN_WOW64:INTERNAL=ON$' "$tree_of/CMakeCache.txt" 2>/dev/null; then
    local tree=${BRELKIN_WOW64_TREE:-$(dirname "$tree_of")/wow64-wine}
    [ -x "$tree/bin/wine" ] || { echo "no WoW64 Wine tree at $tree (scripts/test makes it)" >&2; return 1; }
    BRELKIN_PATH_BEFORE_WOW64=${BRELKIN_PATH_BEFORE_WOW64:-$PATH}
    export PATH="$tree/bin:$BRELKIN_PATH_BEFORE_WOW64"
    export WINELOADER="$tree/lib/wine/wine64"
    # A prefix made before the i386 libraries were there starts 32-bit programs
    # but never shows their windows: make it again.
    if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/user32.dll" ]; then
      echo "=== $WINEPREFIX has no 32-bit system folder: making it again"
      rm -rf "$WINEPREFIX"
    fi
  fi
  if [ -z "${DISPLAY:-}" ] || [ "${BRELKIN_XVFB:-0}" = 1 ]; then
    local n started=0
    for n in $(seq 91 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      BRELKIN_XVFB_PID=$!
      BRELKIN_DISPLAY_BEFORE=${DISPLAY:-}
      export DISPLAY=":$n"
      started=1
      break
    done
    # Every display number taken (Xvfbs of other runs, or sockets they left):
    # say so, instead of running Wine without a display.
    [ "$started" = 1 ] ||
      { echo "no free X display number in :91-:140 for Xvfb (remove stale /tmp/.X11-unix sockets)" >&2; return 1; }
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break
      sleep 0.1
    done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
  fi
  # A persistent server keeps each later start near 0.1 s. Its output must not
  # hold the calling shell open.
  wineserver -p </dev/null >/dev/null 2>&1 &
  wine cmd /c exit >/dev/null 2>&1 || true
  brelkin_wine_no_debugger
}

# Wine's automatic debugger attaches to a crashed test and holds it until its
# timeout; a debugger command that cannot start ends the process at once (Wine
# prints "Unhandled page fault ..." and the exit code is the exception's).
# Both registry views: 32-bit programs read the Wow6432Node one.
brelkin_wine_no_debugger() {
  local n
  n=$(grep -c '^"Debugger"="false"' "$WINEPREFIX/system.reg" 2>/dev/null || true)
  [ "${n:-0}" -ge 2 ] && return 0
  local key
  for key in 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
             'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug'; do
    wine reg add "$key" /v Debugger /t REG_SZ /d false /f >/dev/null 2>&1 ||
      { echo "could not switch off Wine's debugger in $WINEPREFIX" >&2; return 1; }
  done
}

# The display scale of the prefix (96 is 100 %, 144 is 150 %): Wine takes it
# from LogPixels, once per process, so the server and the desktop process that
# runs the notification area start again with it.
brelkin_wine_dpi() {
  local dpi=$1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 &&
    wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    { echo "could not set LogPixels to $dpi in $WINEPREFIX" >&2; return 1; }
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 &
  wine cmd /c exit >/dev/null 2>&1 || true
}

brelkin_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  # Ended means gone: the server writes the registry into the prefix as it ends,
  # and a caller may remove the prefix next.
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  # A later brelkin_wine_env (the x86 run after the x64 one) must not find the
  # display of the Xvfb that is gone now.
  if [ -n "${BRELKIN_XVFB_PID:-}" ]; then
    kill "$BRELKIN_XVFB_PID" 2>/dev/null || true
    if [ -n "$BRELKIN_DISPLAY_BEFORE" ]; then export DISPLAY=$BRELKIN_DISPLAY_BEFORE; else unset DISPLAY; fi
  fi
  BRELKIN_XVFB_PID=
}
