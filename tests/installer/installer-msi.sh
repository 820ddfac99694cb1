# Sourced by installer-test.sh: the MSI packages' mode (launch conditions, a
# deployed install, the major upgrade and the removal), over its helpers.

# msiexec's own exit code: Wine's exit status keeps only its low byte, and a
# command line for cmd /c loses its quotes on the way, so a batch file runs it
# and writes the code to a file (processes msiexec leaves behind may hold a pipe).
msiexec_rc() { # <arguments as Windows quotes them>
  rm -f "$tmp/msiexec.rc"
  printf '@echo off\r\nstart "" /wait msiexec %s\r\necho %%errorlevel%%> "%s"\r\n' "$*" "$(winpath "$tmp/msiexec.rc")" >"$tmp/msiexec.cmd"
  timeout 120 wine cmd /c "$(winpath "$tmp/msiexec.cmd")" >/dev/null 2>&1
  tr -d '\r\n ' <"$tmp/msiexec.rc" 2>/dev/null
}

msi_mode() {
  local m64 newer=$extra
  m64=$(winpath "$msi64")
  echo "=== each launch condition names its property and what it accepts"
  local conditions
  conditions=$(msiinfo export "$msi64" LaunchCondition)
  while IFS='|' read -r property accepts; do
    check "$property: message names it and what it accepts" grep -qF "$property=\"[$property]\" $accepts" <<<"$conditions"
  done <<'ROWS'
PRESET|is not a mode of the Brelkin menu. Use one of these names exactly as written: Joystick Button 1; Schick (Alt+F,Alt+T)
DRIVER|is not a driver kind. Use DRIVER=WDM or DRIVER=BDA.
POLL|is not a poll period. Give the milliseconds as a whole number from 10 to 400.
LONGPRESS|is not a mode a long press can send. Use one of these names exactly as written: Schick (Alt+F,Alt+T)
DOUBLEPRESS|is not a mode a double press can send. Use one of these names exactly as written: Schick (Alt+F,Alt+T)
NOAUTOSTART|is not accepted. Use NOAUTOSTART=1
ROWS

  echo "=== a bad property fails with 1603 and installs nothing"
  while read -r property; do
    rc=$(msiexec_rc /i "\"$m64\"" /qn "$property")
    check "$property: msiexec returns 1603 (got $rc)" test "$rc" = 1603
    check "$property: nothing installed" nothing_installed
  done <<'ROWS'
"PRESET=Kodak F5"
"PRESET=kodak (f5)"
DRIVER=USB
POLL=9
POLL=401
POLL=0x20
POLL=100ms
"LONGPRESS=Joystick Button 1"
"DOUBLEPRESS=kodak (f5)"
NOAUTOSTART=yes
ROWS
  rc=$(msiexec_rc /i "\"$(winpath "$msi86")\"" /qn)
  check "BrelkinSetup-x86.msi refuses 64-bit Windows with 1603 (got $rc)" test "$rc" = 1603
  check "and installs nothing" nothing_installed

  echo "=== the MSI and BrelkinSetup.exe refuse each other"
  w "$installer" /S; rc=$?
  check "BrelkinSetup.exe installed (got $rc)" test "$rc" = 0
  rc=$(msiexec_rc /i "\"$m64\"" /qn)
  check "the MSI refuses while BrelkinSetup.exe's install is present (got $rc)" test "$rc" = 1603
  check "no MSI product" test "$(msi_products)" = 0
  w "$instdir/Uninstall.exe" /S >/dev/null 2>&1
  check "BrelkinSetup.exe's install removed" wait_for 30 gone

  echo "=== msiexec /i with PRESET, DRIVER and POLL"
  w reg add "$settings_key\\Settings" /v DelayTime /t REG_DWORD /d 200 /f >/dev/null 2>&1
  rc=$(msiexec_rc /i "\"$m64\"" /qn '"PRESET=Kodak (F5)"' DRIVER=BDA POLL=100 '"LONGPRESS=XDR (Ctrl+I)"' DOUBLEPRESS=Enter)
  check "msiexec exit code 0 (got $rc)" test "$rc" = 0
  check "the x64 Brelkin.exe and both camera hosts installed" installed_files_are_the_builds
  check "README.txt installed" test -s "$instdir/README.txt"
  check "one Add/Remove entry" test "$(msi_products)" = 1
  check "machine-wide Run value (got: $(regval "$run_key" Brelkin))" test "$(regval "$run_key" Brelkin)" = "\"$instdir_w\\Brelkin.exe\""
  check "machine default DefaultKey" test "$(regval "$machine_settings" DefaultKey /reg:64)" = "Kodak (F5)"
  check "machine default UseBDA" test "$(regval "$machine_settings" UseBDA /reg:64)" = 0x1
  check "machine default PollPeriod" test "$(regval "$machine_settings" PollPeriod /reg:64)" = 0x64
  check "machine default LongPressKey" test "$(regval "$machine_settings" LongPressKey /reg:64)" = "XDR (Ctrl+I)"
  check "machine default DoublePressKey" test "$(regval "$machine_settings" DoublePressKey /reg:64)" = Enter
  check "Start-menu shortcut" msi_shortcut
  deployed_mode_answers "$win64/standin" x64 116
  w "$installer" /S; rc=$?
  check "BrelkinSetup.exe refuses while the MSI's install is present: exit code 4 (got $rc)" test "$rc" = 4
  check "and leaves no Add/Remove entry of its own" no_key "$uninst_key"

  if [ -f "$newer" ]; then
    echo "=== a major upgrade replaces the older MSI version in place, the running Brelkin ended first"
    check "Brelkin started" start_brelkin "\"$instdir_w\\Brelkin.exe\""
    rc=$(msiexec_rc /i "\"$(winpath "$newer")\"" /qn DRIVER=WDM NOAUTOSTART=1)
    check "the newer package installed (got $rc)" test "$rc" = 0
    check "the running Brelkin was ended" wait_for 5 no_brelkin_process
    check "still one Add/Remove entry" test "$(msi_products)" = 1
    check "it is the newer version" grep -q 'DisplayVersion *REG_SZ *2\.0\.1' <<<"$(regq 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64)"
    check "Brelkin.exe still installed" installed_files_are_the_builds
    check "the newer package's UseBDA" test "$(regval "$machine_settings" UseBDA /reg:64)" = 0x0
    check "NOAUTOSTART=1: no Run value" test -z "$(regval "$run_key" Brelkin)"
    m64=$(winpath "$newer")
  else
    fail "no newer MSI package to upgrade to ($newer)"
  fi

  echo "=== msiexec /x removes what the package wrote and keeps the user's settings"
  check "Brelkin started" start_brelkin "\"$instdir_w\\Brelkin.exe\""
  rc=$(msiexec_rc /x "\"$m64\"" /qn)
  check "msiexec /x exit code 0 (got $rc)" test "$rc" = 0
  check "the running Brelkin was ended" wait_for 5 no_brelkin_process
  check "install folder removed, though Brelkin was running" test ! -e "$instdir"
  check "Start-menu shortcut removed" no_msi_shortcut
  check "machine-wide Run value removed" test -z "$(regval "$run_key" Brelkin)"
  check "machine key removed" no_key "$machine_key" /reg:64
  check "no MSI product left" test "$(msi_products)" = 0
  check "the user's settings kept" test "$(regval "$settings_key\\Settings" DelayTime)" = 0xc8
}
