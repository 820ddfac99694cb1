#!/usr/bin/env bash
# End-to-end test of the setups under Wine, in the x86 run's prefix (64-bit
# Windows in Wine's WoW64 mode, where the 32-bit setup and both builds run):
#   installer-test.sh nsis|upgrade|msi <folder of the setups> <WindowProbe.exe>
#                     <PressProbe.exe> <win64 build tree> <win32 build tree>
#                     [upgrade: the folder of the earlier setups; msi: a newer BrelkinSetup-x64.msi]
# Runs in the WINEPREFIX/DISPLAY of the caller (scripts/test). The user's settings
# key and a previous Run value of the prefix are saved first and put back at the
# end; the machine-wide keys that the setups own are removed.
set -uo pipefail
mode=$1 setups=$2 probe=$3 press=$4 win64=$5 win32=$6 extra=${7:-}
installer=$setups/BrelkinSetup.exe
msi64=$setups/BrelkinSetup-x64.msi msi86=$setups/BrelkinSetup-x86.msi
built=$win64/bin/Brelkin.exe
export WINEDEBUG=-all
# No Linux menu entries for the Start-menu shortcuts.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

[ -f "$built" ] || { echo "FAIL: $built is missing: the win64 tree is not built, nothing to install"; exit 1; }
[ -f "$installer" ] || { echo "FAIL: $installer is missing (is makensis installed? apt-get install nsis)"; exit 1; }
if [ "$mode" = msi ]; then
  [ -f "$msi64" ] && [ -f "$msi86" ] || { echo "FAIL: the MSI packages are missing (apt-get install wixl msitools)"; exit 1; }
fi
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "FAIL: needs WINEPREFIX and DISPLAY (scripts/test)"; exit 1; }

w() { timeout 60 wine "$@"; }
wcmd() { timeout 30 wine cmd "$@"; }
winpath() { timeout 30 winepath -w "$1" 2>/dev/null | tr -d '\r'; }
unixpath() { timeout 30 winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# On 64-bit Windows everything of the install is in the 64-bit view; the earlier
# BrelkinSetup-x86.exe wrote its logon start and Add/Remove entry in the 32-bit one.
view=/reg:64
regq() { w reg query "$@" 2>/dev/null | tr -d '\r'; }
regval() { # key value [view] -> data (first match)
  regq "$1" /v "$2" ${3:-$view} | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print; exit }'
}
has_key() { w reg query "$1" ${2:-$view} >/dev/null 2>&1; }
no_key() { ! has_key "$@"; }

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
user_run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninst_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brelkin'
settings_key='HKCU\Software\Morvane\Tolvacore'
machine_key='HKLM\Software\Morvane\Tolvacore'
machine_settings="$machine_key\Settings"
tmp=$(mktemp -d)
saved_settings=0 saved_run=""
if has_key "$settings_key"; then w reg export "$settings_key" "$(winpath "$tmp")\\settings.reg" >/dev/null 2>&1 && saved_settings=1; fi
saved_run=$(regval "$user_run_key" Brelkin)
restore() {
  w "$probe" close 10000 >/dev/null 2>&1
  w reg delete "$settings_key" /f >/dev/null 2>&1
  w reg delete "$machine_key" /f /reg:64 >/dev/null 2>&1
  w reg delete "$run_key" /v Brelkin /f $view >/dev/null 2>&1
  if [ "$saved_settings" = 1 ]; then w reg import "$(winpath "$tmp")\\settings.reg" >/dev/null 2>&1; fi
  if [ -n "$saved_run" ]; then w reg add "$user_run_key" /v Brelkin /t REG_SZ /d "$saved_run" /f >/dev/null 2>&1
  else w reg delete "$user_run_key" /v Brelkin /f >/dev/null 2>&1; fi
  rm -rf "$tmp"
}
trap restore EXIT

# Polls a command for up to $1 seconds.
wait_for() { local t=$1; shift; local i; for i in $(seq 1 $((t * 5))); do "$@" && return 0; sleep 0.2; done; return 1; }
brelkin_window() { w "$probe" find >/dev/null 2>&1; }
no_brelkin_window() { ! brelkin_window; }
brelkin_process() { w "$probe" process Brelkin.exe >/dev/null 2>&1; }
no_brelkin_process() { ! brelkin_process; }
not_held() { ! w "$probe" held "$1" >/dev/null 2>&1; }
# Releases every hold until the mutex is gone (a release that Wine was too busy
# to start is asked again).
released() { w "$probe" release >/dev/null 2>&1; not_held "$1"; }
# A program's whole exit code (Wine's exit status keeps only its low byte), run
# from a batch file, which waits for it; its standard error goes to $tmp/stderr.txt.
win_rc() { # <program> <arguments as Windows quotes them>
  rm -f "$tmp/win.rc" "$tmp/stderr.txt"
  printf '@echo off\r\n"%s" %s 2> "%s"\r\necho %%errorlevel%%> "%s"\r\n' "$(winpath "$1")" "${*:2}" \
    "$(winpath "$tmp/stderr.txt")" "$(winpath "$tmp/win.rc")" >"$tmp/win.cmd"
  timeout 120 wine cmd /c "$(winpath "$tmp/win.cmd")" >/dev/null 2>&1
  tr -d '\r\n ' <"$tmp/win.rc" 2>/dev/null
}

start_brelkin() { # windows command line of the Run value, as logon would start it
  local cmd=$1 exe
  exe=${cmd#\"}; exe=${exe%\"}
  (cd "$tmp" && timeout 200 wine "$exe" >/dev/null 2>&1 &)
  wait_for 30 brelkin_window
}

pf=$(wcmd /c echo %ProgramFiles% 2>/dev/null | tr -d '\r')
pf86=$(wcmd /c echo %ProgramFiles\(x86\)% 2>/dev/null | tr -d '\r')
instdir_w="$pf\\Brelkin"
instdir=$(unixpath "$instdir_w")
menu=$(unixpath "$(wcmd /c echo %ProgramData% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")
startmenu="$menu/Brelkin"
# Wine's msi resolves ProgramMenuFolder to the installing user's menu even for a
# per-machine package (Windows takes the all-users one).
user_menu=$(unixpath "$(wcmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")
msi_shortcut() { test -f "$menu/Brelkin.lnk" || test -f "$user_menu/Brelkin.lnk"; }
no_msi_shortcut() { ! msi_shortcut; }
echo "install folder: $instdir_w ($instdir)"
msi_products() { regq 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 | grep -c 'DisplayName *REG_SZ *Brelkin$'; }

# Nothing from an earlier run of this test, or an install by hand in this prefix.
gone() { [ ! -e "$instdir" ] && ! has_key "$uninst_key"; }
if [ -f "$instdir/Uninstall.exe" ]; then
  w "$instdir/Uninstall.exe" /S >/dev/null 2>&1
  wait_for 30 gone || echo "note: the earlier install could not be removed"
fi
for m in "$msi64" "$msi86" "${extra:-}"; do
  case "$m" in *.msi) w msiexec /x "$(winpath "$m")" /qn >/dev/null 2>&1 ;; esac
done
w reg delete "$machine_key" /f /reg:64 >/dev/null 2>&1
w reg delete "$run_key" /v Brelkin /f $view >/dev/null 2>&1
# What an earlier run that failed midway left in this test prefix.
w "$probe" close 10000 >/dev/null 2>&1
rm -rf "$instdir"
nothing_installed() {
  [ ! -e "$instdir" ] && ! has_key "$uninst_key" && ! has_key "$machine_key" /reg:64 &&
    [ -z "$(regval "$run_key" Brelkin)" ] && [ "$(msi_products)" = 0 ]
}
# The installed files are those of the builds: the x64 program with both hosts.
installed_files_are_the_builds() {
  cmp -s "$built" "$instdir/Brelkin.exe" &&
    cmp -s "$win64/bin/BrelkinCameraHost64.exe" "$instdir/BrelkinCameraHost64.exe" &&
    cmp -s "$win32/bin/BrelkinCameraHost32.exe" "$instdir/BrelkinCameraHost32.exe"
}
# A user with no settings starts in the deployed mode, with the camera
# libraries of $1 (the x86 or the x64 stand-ins) beside the program.
deployed_mode_answers() {
  local standins=$1 label=$2 expected=$3 keys
  cp "$standins/emDLL.dll" "$standins/BDADLL.dll" "$instdir/"
  w reg export "$settings_key" "$(winpath "$tmp")\\before.reg" >/dev/null 2>&1
  w reg delete "$settings_key" /f >/dev/null 2>&1
  check "hidden frame window appears" start_brelkin "$(regval "$run_key" Brelkin)"
  keys=$(w "$press" 1 8000 | tr -d '\r')
  check "a press with the $label stand-ins sends the deployed preset (want $expected, got: $keys)" \
    test "$keys" = "$expected"
  w "$probe" close 10000 >/dev/null 2>&1
  w reg import "$(winpath "$tmp")\\before.reg" >/dev/null 2>&1
  rm -f "$instdir/emDLL.dll" "$instdir/BDADLL.dll" 2>/dev/null
}

nsis_mode() {
  echo "=== a bad option stops the install with exit code 2 before anything is changed"
  # Each row: the option as a script would pass it | what the message must name.
  while IFS='|' read -r option expected; do
    err=$(w "$installer" /S "$option" 2>&1 >/dev/null); rc=$?
    check "$option: exit code 2 (got $rc)" test "$rc" = 2
    check "$option: the message names the problem (got: $err)" grep -qF -- "$expected" <<<"$err"
    check "$option: nothing installed" nothing_installed
  done <<'ROWS'
/PRESET=Kodak F5|is not a mode of the Brelkin menu
/PRESET=kodak (f5)|Use one of these names exactly as written: Joystick Button 1; Schick (Alt+F,Alt+T)
/PRESET=&Joystick Button 1|is not a mode of the Brelkin menu
/PRESET=|is not a mode of the Brelkin menu
/DRIVER=USB|Use /DRIVER=WDM or /DRIVER=BDA
/POLL=9|from 10 to 400
/POLL=401|from 10 to 400
/POLL=0x20|from 10 to 400
/POLL=100ms|from 10 to 400
/LANGUAGE=sv-SE|is not a language of Brelkin
/LONGPRESS=Joystick Button 1|Use one of these names exactly as written: Schick (Alt+F,Alt+T)
/DOUBLEPRESS=Kodak|is not a mode a double press can send
ROWS

  echo "=== another install running: exit code 1618, which deployment tools retry later"
  # Each row: the mutex that the other install holds | what the message must name.
  while IFS='|' read -r mutex expected; do
    (timeout 90 wine "$probe" hold "$mutex" 60000 >/dev/null 2>&1 &)
    check "$mutex is held" wait_for 20 w "$probe" held "$mutex"
    rc=$(win_rc "$installer" /S); err=$(tr -d '\r' <"$tmp/stderr.txt" 2>/dev/null)
    check "$mutex: exit code 1618 (got $rc)" test "$rc" = 1618
    check "$mutex: the message names the problem (got: $err)" grep -qF -- "$expected" <<<"$err"
    check "$mutex: nothing installed" nothing_installed
    check "$mutex is released" wait_for 20 released "$mutex"
  done <<'ROWS'
Global\_MSIExecute|a Windows Installer package) is in progress
Global\BrelkinSetup|Another Brelkin setup is running
ROWS

  # The settings the user made before: they must survive a plain uninstall. An
  # old per-user logon start of the installing account goes on reinstall.
  w reg add "$settings_key\\Settings" /v DelayTime /t REG_DWORD /d 200 /f >/dev/null 2>&1
  w reg add "$user_run_key" /v Brelkin /t REG_SZ /d '"C:\\old\\Brelkin.exe"' /f >/dev/null 2>&1

  echo "=== silent install with the machine-wide defaults, beside a _MSIExecute that nobody holds"
  # Windows Installer leaves the mutex behind after an install: only a hold is an install running.
  (timeout 90 wine "$probe" make 'Global\_MSIExecute' 60000 >/dev/null 2>&1 &)
  check "Global\_MSIExecute exists" wait_for 20 w "$probe" held 'Global\_MSIExecute'
  w "$installer" /S '/PRESET=Kodak (F5)' /DRIVER=BDA /POLL=100 /LANGUAGE=de '/LONGPRESS=XDR (Ctrl+I)' /DOUBLEPRESS=Enter; rc=$?
  check "installer exit code 0 (got $rc)" test "$rc" = 0
  check "Global\_MSIExecute is gone" wait_for 20 released 'Global\_MSIExecute'
  check "the x64 Brelkin.exe and both camera hosts installed, same bytes as the builds" installed_files_are_the_builds
  check "README.txt installed" test -s "$instdir/README.txt"
  check "uninstaller installed" test -f "$instdir/Uninstall.exe"
  listing=$(cd "$instdir" 2>/dev/null && ls -A | LC_ALL=C sort | tr '\n' ' ')
  check "only Brelkin.exe, its hosts, README.txt and Uninstall.exe, no camera libraries (got: $listing)" \
    test "$listing" = "Brelkin.exe BrelkinCameraHost32.exe BrelkinCameraHost64.exe README.txt Uninstall.exe "
  check "Start-menu entry" test -f "$startmenu/Brelkin.lnk"
  run_value=$(regval "$run_key" Brelkin)
  check "machine-wide Run value is the quoted exe path (got: $run_value)" test "$run_value" = "\"$instdir_w\\Brelkin.exe\""
  check "the installing account's own Run value is gone" test -z "$(regval "$user_run_key" Brelkin)"
  check "machine default DefaultKey" test "$(regval "$machine_settings" DefaultKey /reg:64)" = "Kodak (F5)"
  check "machine default UseBDA" test "$(regval "$machine_settings" UseBDA /reg:64)" = 0x1
  check "machine default PollPeriod" test "$(regval "$machine_settings" PollPeriod /reg:64)" = 0x64
  check "machine default Language, as Brelkin reads it" test "$(regval "$machine_settings" Language /reg:64)" = de-DE
  check "machine default LongPressKey" test "$(regval "$machine_settings" LongPressKey /reg:64)" = "XDR (Ctrl+I)"
  check "machine default DoublePressKey" test "$(regval "$machine_settings" DoublePressKey /reg:64)" = Enter
  check "marked as this setup's install" test "$(regval "$uninst_key" Installer)" = BrelkinSetup.exe
  check "DisplayName" test "$(regval "$uninst_key" DisplayName)" = "Brelkin 2.0"
  check "DisplayVersion" test "$(regval "$uninst_key" DisplayVersion)" = "2.0"
  check "UninstallString" test "$(regval "$uninst_key" UninstallString)" = "\"$instdir_w\\Uninstall.exe\""
  check "QuietUninstallString" test "$(regval "$uninst_key" QuietUninstallString)" = "\"$instdir_w\\Uninstall.exe\" /S"
  check "InstallLocation" test "$(regval "$uninst_key" InstallLocation)" = "$instdir_w"
  check "DisplayIcon" test "$(regval "$uninst_key" DisplayIcon)" = "$instdir_w\\Brelkin.exe,0"
  check "Publisher set" test -n "$(regval "$uninst_key" Publisher)"
  check "NoModify" test "$(regval "$uninst_key" NoModify)" = 0x1
  check "NoRepair" test "$(regval "$uninst_key" NoRepair)" = 0x1
  size=$(regval "$uninst_key" EstimatedSize)
  check "EstimatedSize in KiB, non-zero (got $size)" test "$((size))" -gt 0

  echo "=== a user with no settings starts in the deployed mode; their own choice then wins"
  # The 32-bit camera libraries are read through the x86 camera host.
  deployed_mode_answers "$win32/standin" x86 116
  cp "$win64/standin/emDLL.dll" "$win64/standin/BDADLL.dll" "$instdir/"
  w reg export "$settings_key" "$(winpath "$tmp")\\before.reg" >/dev/null 2>&1
  w reg delete "$settings_key" /f >/dev/null 2>&1
  check "hidden frame window appears" start_brelkin "$run_value"
  keys=$(w "$press" 1 8000 | tr -d '\r')
  check "a press with the x64 stand-ins sends F5, the deployed preset (got: $keys)" test "$keys" = 116
  check "the first start wrote none of the user's values" test -z "$(regval "$settings_key\\Settings" DefaultKey)"
  check "the user chooses Space in the tray menu" w "$probe" command 32790
  keys=$(w "$press" 1 8000 | tr -d '\r')
  check "a press now sends Space (got: $keys)" test "$keys" = 32
  check "the user's choice is stored for the user" test "$(regval "$settings_key\\Settings" DefaultKey)" = Space
  check "the machine default is unchanged" test "$(regval "$machine_settings" DefaultKey /reg:64)" = "Kodak (F5)"
  w "$probe" close 10000 >/dev/null 2>&1
  check "Brelkin started again" start_brelkin "$run_value"
  keys=$(w "$press" 1 8000 | tr -d '\r')
  check "after a restart the user's Space still wins (got: $keys)" test "$keys" = 32
  w reg delete "$settings_key" /f >/dev/null 2>&1
  w reg import "$(winpath "$tmp")\\before.reg" >/dev/null 2>&1
  rm -f "$instdir/emDLL.dll" "$instdir/BDADLL.dll" 2>/dev/null

  echo "=== a Brelkin that no message reaches (another session's) is ended through the process list"
  mkdir -p "$tmp/other"
  cp "$(unixpath 'C:\windows\system32\notepad.exe')" "$tmp/other/Brelkin.exe"
  (cd "$tmp" && timeout 200 wine "$tmp/other/Brelkin.exe" >/dev/null 2>&1 &)
  check "the stand-in Brelkin.exe runs, without a frame window" wait_for 10 brelkin_process
  w "$installer" /S; rc=$?
  check "reinstall exit code 0 (got $rc)" test "$rc" = 0
  check "the stand-in Brelkin.exe was ended" wait_for 5 no_brelkin_process

  echo "=== reinstall over the running program, without the logon start"
  w "$installer" /S /NOAUTOSTART; rc=$?
  check "reinstall exit code 0 (got $rc)" test "$rc" = 0
  check "the running Brelkin was closed first" wait_for 5 no_brelkin_process
  check "Brelkin.exe still installed" installed_files_are_the_builds
  check "/NOAUTOSTART removed the Run value" test -z "$(regval "$run_key" Brelkin)"
  w "$installer" /S; rc=$?
  check "third install brings the Run value back" test "$(regval "$run_key" Brelkin)" = "\"$instdir_w\\Brelkin.exe\""
  check "a reinstall without options keeps the machine defaults" \
    test "$(regval "$machine_settings" DefaultKey /reg:64)" = "Kodak (F5)"

  echo "=== silent uninstall closes the running Brelkin and keeps the settings"
  check "Brelkin started again" start_brelkin "$(regval "$run_key" Brelkin)"
  w "$instdir/Uninstall.exe" /S; rc=$?
  check "uninstaller exit code 0 (got $rc)" test "$rc" = 0
  # The uninstaller runs on from a copy in the temp folder.
  check "install folder removed, the hosts with it" wait_for 30 gone
  check "Brelkin was closed" wait_for 5 no_brelkin_process
  check "its window is gone" no_brelkin_window
  check "Start-menu entry removed" test ! -e "$startmenu"
  check "Uninstall key removed" no_key "$uninst_key"
  check "machine-wide Run value removed" test -z "$(regval "$run_key" Brelkin)"
  check "per-user Run value removed" test -z "$(regval "$user_run_key" Brelkin)"
  check "machine-wide defaults removed" no_key "$machine_key" /reg:64
  check "settings kept" test "$(regval "$settings_key\\Settings" DelayTime)" = 0xc8

  echo "=== silent uninstall with /REMOVESETTINGS"
  w "$installer" /S; rc=$?
  check "install again (got $rc)" test "$rc" = 0
  w "$instdir/Uninstall.exe" /S /REMOVESETTINGS; rc=$?
  check "install folder removed" wait_for 30 gone
  settings_gone() { ! has_key "$settings_key"; }
  check "settings removed on request" wait_for 10 settings_gone

}

# An install by an earlier setup ($1, version 2.0) in folder $2, its logon start
# and Add/Remove entry in view $3, is replaced by BrelkinSetup.exe.
upgrade_from() {
  local legacy=$1 old_dir_w=$2 old_view=$3 name old_dir
  name=$(basename "$legacy")
  old_dir=$(unixpath "$old_dir_w")
  echo "=== an install by the earlier $name, with settings and machine defaults"
  w "$legacy" /S '/PRESET=Kodak (F5)' /POLL=100; rc=$?
  check "the earlier setup installed (got $rc)" test "$rc" = 0
  check "it is in $old_dir_w" test -f "$old_dir/Brelkin.exe"
  check "its Add/Remove entry is in the $old_view view" has_key "$uninst_key" "$old_view"
  check "its logon start is in the $old_view view" test -n "$(regval "$run_key" Brelkin "$old_view")"
  # What an administrator added by hand, beside what the old setup wrote.
  w reg add "$machine_settings" /v ShowNotifications /t REG_DWORD /d 0 /f /reg:64 >/dev/null 2>&1
  w reg add "$machine_settings\\Programs" /v dexis.exe /t REG_SZ /d 'DEXIS (Space,T)' /f /reg:64 >/dev/null 2>&1
  w reg add "$settings_key\\Settings" /v DelayTime /t REG_DWORD /d 300 /f >/dev/null 2>&1

  echo "=== BrelkinSetup.exe replaces it"
  w "$installer" /S; rc=$?
  check "BrelkinSetup.exe exit code 0 (got $rc)" test "$rc" = 0
  if [ "$old_dir" != "$instdir" ]; then check "the earlier folder is gone" test ! -e "$old_dir"; fi
  check "the x64 Brelkin and both hosts are in $instdir_w" installed_files_are_the_builds
  check "no Add/Remove entry in the 32-bit view" no_key "$uninst_key" /reg:32
  check "one Add/Remove entry, this setup's" test "$(regval "$uninst_key" Installer)" = BrelkinSetup.exe
  check "no logon start in the 32-bit view" test -z "$(regval "$run_key" Brelkin /reg:32)"
  check "the logon start is the new program" test "$(regval "$run_key" Brelkin)" = "\"$instdir_w\\Brelkin.exe\""
  check "machine default DefaultKey kept" test "$(regval "$machine_settings" DefaultKey /reg:64)" = "Kodak (F5)"
  check "machine default PollPeriod kept" test "$(regval "$machine_settings" PollPeriod /reg:64)" = 0x64
  check "a value the administrator added kept" test "$(regval "$machine_settings" ShowNotifications /reg:64)" = 0x0
  check "a deployed program rule kept" test "$(regval "$machine_settings\\Programs" dexis.exe /reg:64)" = 'DEXIS (Space,T)'
  check "no copy of the defaults left behind" no_key 'HKLM\Software\Morvane\Tolvacore (setup)' /reg:64
  check "the user's settings kept" test "$(regval "$settings_key\\Settings" DelayTime)" = 0x12c
  w "$instdir/Uninstall.exe" /S >/dev/null 2>&1
  check "uninstalled again" wait_for 30 gone
}

upgrade_mode() {
  local legacy
  for legacy in "$extra/BrelkinSetup-x86.exe" "$extra/BrelkinSetup-x64.exe"; do
    if [ ! -f "$legacy" ]; then echo "SKIPPED: no earlier setup to upgrade from ($legacy)"; exit 77; fi
  done
  upgrade_from "$extra/BrelkinSetup-x86.exe" "$pf86\\Brelkin" /reg:32
  upgrade_from "$extra/BrelkinSetup-x64.exe" "$instdir_w" /reg:64
}

# The MSI packages' mode lives beside this file.
source "$(dirname "$0")/installer-msi.sh"

case "$mode" in
  nsis) nsis_mode ;;
  upgrade) upgrade_mode ;;
  msi) msi_mode ;;
  *) echo "FAIL: unknown mode $mode (nsis, upgrade or msi)"; exit 1 ;;
esac
echo "=== $failures failure(s)"
[ "$failures" = 0 ]
