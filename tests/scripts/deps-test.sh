#!/usr/bin/env bash
# scripts/lib/deps.sh against stand-in apt tools: a failing apt-get update is
# tried once more and does not hide a failed install, and the x86 tree keeps
# the reason it cannot be made for the caller's summary.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
for tool in apt-get apt-cache dpkg dpkg-query sudo sleep; do
  cat >"$work/bin/$tool" <<STUB
#!/usr/bin/env bash
echo "$tool \$*" >>"$work/calls"
case "$tool \$1" in
  "sudo "*) exec "\$@" ;;
  "apt-get update") [ "\$(grep -c '^apt-get update' "$work/calls")" -gt "\${UPDATE_FAILS:-0}" ] ;;
  "apt-get install") [ "\${INSTALL_OK:-1}" = 1 ] ;;
  "apt-cache policy") echo "  Candidate: none" ;;
  "dpkg --print-foreign-architectures") echo i386 ;;
  "dpkg-query "*) case "\$*" in *Version*) echo 8.0 ;; *wine32*|*cmake*) exit 1 ;; *) echo 'install ok installed' ;; esac ;;
esac
STUB
  chmod +x "$work/bin/$tool"
done
export PATH="$work/bin:$PATH"
source "$root/scripts/lib/deps.sh"
failures=0
expect() {  # label, expected status and number of updates, then the command
  local label=$1 want=$2 want_updates=$3; shift 3
  : >"$work/calls"
  "$@" 2>"$work/err"
  local got=$? updates; updates=$(grep -c '^apt-get update' "$work/calls")
  if [ "$got" = "$want" ] && [ "$updates" = "$want_updates" ]; then echo "ok: $label"; else
    echo "FAILED: $label: status $got ($want), $updates updates ($want_updates)" >&2; cat "$work/err" >&2; failures=$((failures + 1)); fi
}
expect "one failed update is tried again" 0 2 env UPDATE_FAILS=1 bash -c "source $root/scripts/lib/deps.sh; brelkin_install_deps"
expect "two failed updates: installed from the lists there" 0 2 env UPDATE_FAILS=9 bash -c "source $root/scripts/lib/deps.sh; brelkin_install_deps"
expect "a failed install is not hidden" 1 2 env UPDATE_FAILS=9 INSTALL_OK=0 bash -c "source $root/scripts/lib/deps.sh; brelkin_install_deps"
grep -q "package lists may be stale" "$work/err" || { echo "FAILED: the stale lists are not named" >&2; failures=$((failures + 1)); }
UPDATE_FAILS=9 brelkin_install_wow64 "$work/tree" 2>/dev/null
[[ "$brelkin_wow64_error" == *"not in the package lists (apt-get update failed)"* ]] && echo "ok: the x86 reason is kept" ||
  { echo "FAILED: x86 reason: '$brelkin_wow64_error'" >&2; failures=$((failures + 1)); }
exit $((failures > 0))
