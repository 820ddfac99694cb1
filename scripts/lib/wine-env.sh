# Sourced by scripts: sets up Wine for one build tree.
#   brelkin_wine_env <build-dir>
# Starts a private Xvfb when there is no display (or BRELKIN_XVFB=1), makes a
# private WINEPREFIX inside the build tree and keeps a wineserver running.
brelkin_wine_env() {
  local build=$1
  export WINEDEBUG=-all
  export WINEPREFIX="$build/wineprefix"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  if [ -z "${DISPLAY:-}" ] || [ "${BRELKIN_XVFB:-0}" = 1 ]; then
    local n
    for n in $(seq 91 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      BRELKIN_XVFB_PID=$!
      export DISPLAY=":$n"
      break
    done
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
}

brelkin_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${BRELKIN_XVFB_PID:-}" ]; then kill "$BRELKIN_XVFB_PID" 2>/dev/null || true; fi
}
