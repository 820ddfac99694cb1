#!/usr/bin/env bash
# The policy templates' check, and the mode lists generated with them:
#   policy-check.sh <build's installer folder> <source tree>
# Each ADMX and ADML is well-formed and valid against the ADMX format
# (PolicyDefinitions.xsd); every string and presentation the ADMX names is in
# every ADML, there is an ADML for each of Brelkin's languages and each holds
# every string and presentation of the English one; every registry value is one Brelkin reads and every key one of its
# policy keys, none where Intune refuses to write; the Language drop-down
# names each of Brelkin's languages once by a tag it reads; the Mode drop-down, the
# NSIS setup's list and the MSI's PRESET condition hold the modes of the preset
# table (the file that brelkin-mode-names wrote), in menu order.
set -uo pipefail
out=$1 src=$2
policy=$out/policy admx=$out/policy/Brelkin.admx modes=$out/modes.txt
schema=$(dirname "$0")/PolicyDefinitions.xsd
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
command -v xmllint >/dev/null || { echo "FAIL: xmllint not found (apt-get install libxml2-utils)"; exit 1; }
[ -s "$admx" ] && [ -s "$modes" ] || { echo "FAIL: $admx or $modes is missing: build the policy_templates target"; exit 1; }
mapfile -t admls < <(find "$policy" -mindepth 2 -name Brelkin.adml | sort)
check "an English ADML (got: ${admls[*]})" test -s "$policy/en-US/Brelkin.adml"

# xmllint prints a node set's attributes as ' name="value"' and text nodes one a
# line, with the XML escapes kept.
xpath() { xmllint --xpath "$2" "$1" 2>/dev/null | sed -E 's/^ ?[A-Za-z]+="(.*)"$/\1/; s/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g; s/&amp;/\&/g'; }
el() { printf '*[local-name()="%s"]' "$1"; }

for f in "$admx" "${admls[@]}"; do
  check "${f#"$out"/}: valid against the ADMX format" xmllint --noout --schema "$schema" "$f"
done

echo "=== every reference of the ADMX resolves in each ADML"
mapfile -t strings < <(grep -o '\$(string\.[A-Za-z0-9_]*)' "$admx" | sed 's/^$(string\.//; s/)$//' | sort -u)
mapfile -t presentations < <(grep -o '\$(presentation\.[A-Za-z0-9_]*)' "$admx" | sed 's/^$(presentation\.//; s/)$//' | sort -u)
element_ids=$(xpath "$admx" "//$(el elements)/*/@id" | sort -u)
for adml in "${admls[@]}"; do
  name=${adml#"$out"/}
  ids=$(xpath "$adml" "//$(el string)/@id" | sort -u)
  missing=$(comm -23 <(printf '%s\n' "${strings[@]}") <(printf '%s\n' "$ids") | tr '\n' ' ')
  check "$name: the ${#strings[@]} strings the ADMX names are there (missing: $missing)" test -z "$missing"
  ids=$(xpath "$adml" "//$(el presentation)/@id" | sort -u)
  missing=$(comm -23 <(printf '%s\n' "${presentations[@]}") <(printf '%s\n' "$ids") | tr '\n' ' ')
  check "$name: the ${#presentations[@]} presentations the ADMX names are there (missing: $missing)" test -z "$missing"
  refs=$(xpath "$adml" "//$(el presentation)/*/@refId" | sort -u)
  missing=$(comm -23 <(printf '%s\n' "$refs") <(printf '%s\n' "$element_ids") | tr '\n' ' ')
  check "$name: every control shows an element of the ADMX (unknown: $missing)" test -z "$missing"
done

echo "=== an ADML for each of Brelkin's languages, with every string and presentation of English"
# The languages' tags as engine/Language.cpp lists them: the culture of its
# ADML, and the language subtag that the Language policy may store.
mapfile -t cultures < <(sed -nE 's/^ *\{Language::[A-Za-z]+, "([^"]+)", "[a-z]+".*/\1/p' "$src/engine/Language.cpp")
check "engine/Language.cpp lists ten languages (got: ${cultures[*]})" test "${#cultures[@]}" = 10
for culture in "${cultures[@]}"; do
  check "$culture: an ADML" test -s "$policy/$culture/Brelkin.adml"
done
english=$policy/en-US/Brelkin.adml
for adml in "${admls[@]}"; do
  culture=$(basename "$(dirname "$adml")")
  [ "$adml" = "$english" ] && continue
  for kind in string presentation; do
    missing=$(comm -23 <(xpath "$english" "//$(el "$kind")/@id" | sort -u) <(xpath "$adml" "//$(el "$kind")/@id" | sort -u))
    for id in $missing; do fail "$culture: the $kind $id of en-US is missing"; done
    [ -n "$missing" ] || pass "$culture: every $kind of en-US"
  done
done

echo "=== registry names: what Brelkin reads, where Intune lets a template write"
root='Software\Policies\Morvane\Tolvacore'
while IFS= read -r name; do
  check "value $name is one Brelkin's settings read" grep -rqF "u\"$name\"" "$src/settings"
done < <(xpath "$admx" '//@valueName' | sort -u)
while IFS= read -r key; do
  case $key in
    "$root" | "$root\\Programs" | "$root\\Recommended" | "$root\\Recommended\\Programs" | \
      "$root\\Programs\\LongPress" | "$root\\Programs\\DoublePress" | \
      "$root\\Recommended\\Programs\\LongPress" | "$root\\Recommended\\Programs\\DoublePress") pass "key $key" ;;
    *) fail "key $key is none of Brelkin's policy keys" ;;
  esac
  shopt -s nocasematch
  case $key in
    'Software\Policies\Microsoft'* | 'Software\Microsoft'* | 'System'*) fail "key $key is where Intune refuses to write" ;;
  esac
  shopt -u nocasematch
done < <(xpath "$admx" '//@key' | sort -u)
for set in "" _Recommended; do
  for p in Mode CameraDriver PollPeriod LongPress DoublePress OnlyListedPrograms ProgramRules LongPressProgramRules DoublePressProgramRules UserProgramRules Notifications Language; do
    class=$(xpath "$admx" "string(//$(el policy)[@name=\"$p$set\"]/@class)")
    check "policy $p$set for computers and users (class: $class)" test "$class" = Both
  done
done
# What Intune's import needs beyond the format: every policy in a category, and
# the text of a supportedOn definition under the definition's own name.
orphans=$(xpath "$admx" "//$(el policy)[not($(el parentCategory))]/@name" | tr '\n' ' ')
check "every policy has a category (without: $orphans)" test -z "$orphans"
while IFS= read -r name; do
  ref=$(xpath "$admx" "string(//$(el definition)[@name=\"$name\"]/@displayName)")
  check "supportedOn $name names its text by its own name (got $ref)" test "$ref" = "\$(string.$name)"
done < <(xpath "$admx" "//$(el definition)/@name")

echo "=== the Language drop-down: each of Brelkin's languages once, by its tag or its language subtag"
for set in "" _Recommended; do
  values=$(xpath "$admx" "//$(el policy)[@name=\"Language$set\"]//$(el enum)/$(el item)/$(el value)/$(el string)/text()")
  named=$(for v in $values; do for c in "${cultures[@]}"; do
    if [ "$v" = "$c" ] || [ "$v" = "${c%%-*}" ]; then echo "$c"; fi; done; done | sort)
  check "Language$set drop-down (got: $(echo $values))" test "$named" = "$(printf '%s\n' "${cultures[@]}" | sort)"
done

echo "=== the modes of the preset table, in menu order, everywhere"
check "the mode list runs from the joystick to Custom Setting" \
  test "$(head -n1 "$modes")/$(tail -n1 "$modes")" = "Joystick Button 1/Custom Setting"
for set in "" _Recommended; do
  got=$(xpath "$admx" "//$(el policy)[@name=\"Mode$set\"]//$(el enum)/$(el item)/$(el value)/$(el string)/text()")
  check "Mode$set drop-down" test "$got" = "$(cat "$modes")"
  for gesture in LongPress DoublePress; do
    got=$(xpath "$admx" "//$(el policy)[@name=\"$gesture$set\"]//$(el enum)/$(el item)/$(el value)/$(el string)/text()")
    check "$gesture$set drop-down: None, then every mode but the joystick's" test "$got" = "$(tail -n +2 "$modes")"
  done
done
nsh_list() { sed -n "/^!macro $1 /,/^!macroend/p" "$out/Presets.nsh" | sed -nE 's/^ *!insertmacro \$\{ITEM\} "(.*)"$/\1/p'; }
check "Presets.nsh" test "$(nsh_list BRELKIN_MODE_NAMES)" = "$(cat "$modes")"
check "Presets.nsh, the key modes" test "$(nsh_list BRELKIN_KEY_MODE_NAMES)" = "$(tail -n +2 "$modes")"
got=$(grep -o 'PRESET=&quot;[^&]*&quot;' "$out/Presets.wxi" | grep -v '\[PRESET\]' | sed 's/^PRESET=&quot;//; s/&quot;$//')
check "Presets.wxi, the MSI's PRESET condition" test "$got" = "$(cat "$modes")"
for property in LONGPRESS DOUBLEPRESS; do
  got=$(grep -o "$property=&quot;[^&]*&quot;" "$out/Presets.wxi" | grep -v "\[$property\]" | sed "s/^$property=&quot;//; s/&quot;\$//")
  check "Presets.wxi, the MSI's $property condition" test "$got" = "$(tail -n +2 "$modes")"
done

if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all policy template checks passed"
