#!/usr/bin/env bash
# scripts/lib/deps.sh against stand-in apt-get, apt-cache and dpkg: a failing
# apt-get update is tried once more and does not hide a failed install, and
# the x86 tree names why it cannot be made instead of ending the caller.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
# Each stand-in logs its call; BEHAVIOUR says how the next calls answer.
for tool in apt-get apt-cache dpkg dpkg-query sudo sleep; do
  cat >"$work/bin/$tool" <<STUB
#!/usr/bin/env bash
echo "$tool \$*" >>"$work/calls"
case "$tool \$1" in
  "sudo "*) exec "\$@" ;;
  "sleep "*) exit 0 ;;
  "apt-get update") n=\$(grep -c '^apt-get update' "$work/calls"); [ "\$n" -gt "\${UPDATE_FAILS:-0}" ] ;;
  "apt-get install") [ "\${INSTALL_OK:-1}" = 1 ] ;;
  "apt-cache policy") echo "  Candidate: \${CANDIDATE:-none}" ;;
  "dpkg --print-foreign-architectures") echo i386 ;;
  "dpkg-query "*) case "\$*" in *Version*) echo 8.0~repack-4 ;; *wine32*) exit 1 ;; *cmake*) exit 1 ;; *) echo 'install ok installed' ;; esac ;;
esac
STUB
  chmod +x "$work/bin/$tool"
done
export PATH="$work/bin:$PATH"
source "$root/scripts/lib/deps.sh"
failures=0
check() {  # label, then a command that must succeed
  local label=$1; shift
  if "$@"; then echo "ok: $label"; else echo "FAILED: $label" >&2; failures=$((failures + 1)); fi
}
updates() { grep -c '^apt-get update' "$work/calls"; }

: >"$work/calls"
UPDATE_FAILS=1 brelkin_install_deps 2>"$work/err"; rc=$?
check "one failed update is tried again and the install goes on" test "$rc" = 0 -a "$(updates)" = 2

: >"$work/calls"
UPDATE_FAILS=9 brelkin_install_deps 2>"$work/err"; rc=$?
check "two failed updates: the install still goes on with the lists there" test "$rc" = 0 -a "$(updates)" = 2

: >"$work/calls"
UPDATE_FAILS=9 INSTALL_OK=0 brelkin_install_deps 2>"$work/err"; rc=$?
check "a failed install is not hidden and names the stale lists" \
  grep -q "could not install: cmake" "$work/err"
check "... and fails" test "$rc" = 1
check "... with the update's failure" grep -q "package lists may be stale" "$work/err"

: >"$work/calls"
UPDATE_FAILS=9 CANDIDATE=none brelkin_install_wow64 "$work/tree" 2>"$work/err"; rc=$?
check "no libwine:i386 after a failed update: the reason is kept for the summary" \
  test "$rc" = 1 -a -n "$brelkin_wow64_error"
check "... naming both" bash -c '[[ "$0" == *"not in the package lists (apt-get update failed)"* ]]' "$brelkin_wow64_error"

exit $((failures > 0))
