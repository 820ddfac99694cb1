#!/usr/bin/env bash
# End-to-end test of an installer under Wine (the x86 one in Wine's WoW64 mode):
#   installer-test.sh <BrelkinSetup-x64|x86.exe> <WindowProbe.exe> <built Brelkin.exe>
#                     <PressProbe.exe> <folder of the stand-in camera libraries> [x64|x86]
# Runs in the WINEPREFIX/DISPLAY of the caller (scripts/test). The user's settings
# key and a previous Run value of the prefix are saved first and put back at the
# end; the machine-wide keys that the installer owns are removed.
set -uo pipefail
installer=$1 probe=$2 built=$3 press=$4 standins=$5 arch=${6:-x64}
export WINEDEBUG=-all
# No Linux menu entries for the Start-menu shortcuts.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

[ -f "$built" ] || { echo "FAIL: $built is missing: Brelkin is not built, nothing to install"; exit 1; }
[ -f "$installer" ] || { echo "FAIL: $installer is missing (is makensis installed? apt-get install nsis)"; exit 1; }
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || { echo "FAIL: needs WINEPREFIX and DISPLAY (scripts/test)"; exit 1; }

w() { timeout 60 wine "$@"; }
# The x86 installer sees the 32-bit views (Program Files (x86), the Wow6432Node
# keys): the checks look through the 32-bit reg and cmd as the program would.
if [ "$arch" = x86 ]; then
  reg() { w 'C:\windows\syswow64\reg.exe' "$@"; }
  wcmd() { timeout 30 wine 'C:\windows\syswow64\cmd.exe' "$@"; }
else
  reg() { w reg "$@"; }
  wcmd() { timeout 30 wine cmd "$@"; }
fi
winpath() { timeout 30 winepath -w "$1" 2>/dev/null | tr -d '\r'; }
unixpath() { timeout 30 winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# The x86 installer keeps the logon start and its Add/Remove entry in the 32-bit
# view, the x64 one in the 64-bit view; the machine-wide defaults are in the
# 64-bit view for both (a 64-bit prefix here).
case "$(basename "$installer")" in *x86*) view=/reg:32 ;; *) view=/reg:64 ;; esac
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

start_brelkin() { # windows command line of the Run value, as logon would start it
  local cmd=$1 exe
  exe=${cmd#\"}; exe=${exe%\"}
  (cd "$tmp" && timeout 200 wine "$exe" >/dev/null 2>&1 &)
  wait_for 30 brelkin_window
}

pf=$(wcmd /c echo %ProgramFiles% 2>/dev/null | tr -d '\r')
instdir_w="$pf\\Brelkin"
instdir=$(unixpath "$instdir_w")
startmenu=$(unixpath "$(wcmd /c echo %ProgramData% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs\\Brelkin")
echo "install folder: $instdir_w ($instdir)"

# Nothing from an earlier run of this test, or an install by hand in this prefix.
gone() { [ ! -e "$instdir" ] && ! has_key "$uninst_key"; }
if [ -f "$instdir/Uninstall.exe" ]; then
  w "$instdir/Uninstall.exe" /S >/dev/null 2>&1
  wait_for 30 gone || echo "note: the earlier install could not be removed"
fi
w reg delete "$machine_key" /f /reg:64 >/dev/null 2>&1
w reg delete "$run_key" /v Brelkin /f $view >/dev/null 2>&1

echo "=== a bad option stops the install with exit code 2 before anything is changed"
nothing_installed() {
  [ ! -e "$instdir" ] && ! has_key "$uninst_key" && ! has_key "$machine_key" /reg:64 &&
    [ -z "$(regval "$run_key" Brelkin)" ]
}
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
ROWS

# The settings the user made before: they must survive a plain uninstall. An
# old per-user logon start of the installing account goes on reinstall.
w reg add "$settings_key\\Settings" /v DelayTime /t REG_DWORD /d 200 /f >/dev/null 2>&1
w reg add "$user_run_key" /v Brelkin /t REG_SZ /d '"C:\\old\\Brelkin.exe"' /f >/dev/null 2>&1

echo "=== silent install with the machine-wide defaults"
w "$installer" /S '/PRESET=Kodak (F5)' /DRIVER=BDA /POLL=100; rc=$?
check "installer exit code 0 (got $rc)" test "$rc" = 0
check "Brelkin.exe installed, same bytes as the build" cmp -s "$built" "$instdir/Brelkin.exe"
check "README.txt installed" test -s "$instdir/README.txt"
check "uninstaller installed" test -f "$instdir/Uninstall.exe"
listing=$(cd "$instdir" 2>/dev/null && ls -A | sort | tr '\n' ' ')
check "only Brelkin.exe, README.txt and Uninstall.exe, no camera libraries (got: $listing)" \
  test "$listing" = "Brelkin.exe README.txt Uninstall.exe "
check "Start-menu entry" test -f "$startmenu/Brelkin.lnk"
run_value=$(regval "$run_key" Brelkin)
check "machine-wide Run value is the quoted exe path (got: $run_value)" test "$run_value" = "\"$instdir_w\\Brelkin.exe\""
check "the installing account's own Run value is gone" test -z "$(regval "$user_run_key" Brelkin)"
check "machine default DefaultKey" test "$(regval "$machine_settings" DefaultKey /reg:64)" = "Kodak (F5)"
check "machine default UseBDA" test "$(regval "$machine_settings" UseBDA /reg:64)" = 0x1
check "machine default PollPeriod" test "$(regval "$machine_settings" PollPeriod /reg:64)" = 0x64
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
cp "$standins/emDLL.dll" "$standins/BDADLL.dll" "$instdir/"
w reg export "$settings_key" "$(winpath "$tmp")\\before.reg" >/dev/null 2>&1
w reg delete "$settings_key" /f >/dev/null 2>&1
check "hidden frame window appears" start_brelkin "$run_value"
check "Brelkin.exe process runs" brelkin_process
keys=$(w "$press" 1 8000 | tr -d '\r')
check "a press sends F5, the deployed preset (got: $keys)" test "$keys" = 116
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

echo "=== reinstall over the running program, without the logon start"
w "$installer" /S /NOAUTOSTART; rc=$?
check "reinstall exit code 0 (got $rc)" test "$rc" = 0
check "the running Brelkin was closed first" wait_for 5 no_brelkin_process
check "Brelkin.exe still installed" cmp -s "$built" "$instdir/Brelkin.exe"
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
check "install folder removed" wait_for 30 gone
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

echo "=== $failures failure(s)"
[ "$failures" = 0 ]
