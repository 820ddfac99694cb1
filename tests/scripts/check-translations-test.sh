#!/usr/bin/env bash
# The translation check against a copy of the languages with faults put in: a
# lost placeholder, a missing text, a moved control and a doubled access key
# each fail, named by language and id; the tree as it stands passes.
set -euo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)"
check="$src/scripts/check-translations"
tree=$(mktemp -d); trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/resources/dialogs" "$tree/engine"
cp -r "$src/resources/lang" "$tree/resources/"
cp "$src/resources/Brelkin.rc" "$src/resources/Languages.rc" "$tree/resources/"
cp "$src/resources/dialogs/Dialogs.rc" "$tree/resources/dialogs/"
cp "$src/engine/Texts.cpp" "$tree/engine/"
out=$("$check" "$tree") || { echo "FAIL: the languages as they stand were refused: $out"; exit 1; }

sed -i 's/^\(BRELKIN_TEXT(IDS_ENTER_INTEGER_BETWEEN, ".*\){2}/\1/' "$tree/resources/lang/fr.rc"
sed -i '/^BRELKIN_TEXT(IDS_HOST_MISSING,/d' "$tree/resources/lang/ja.rc"
sed -i -E 's/(IDC_SET_KEY1, )[0-9]+/\13/' "$tree/resources/lang/pl.rc"
sed -i 's/"&Beenden"/"\&Info beenden"/' "$tree/resources/lang/de.rc"
if out=$("$check" "$tree"); then echo "FAIL: faults passed: $out"; exit 1; fi
for expected in \
  "fr: text IDS_ENTER_INTEGER_BETWEEN: placeholders" \
  "ja: text IDS_HOST_MISSING: no text" \
  "pl: dialog IDD_CUSTOM_SETTING: controls differ from English: missing or moved \['IDC_SET_KEY1" \
  "de: menu IDR_TRAYMENU: access key 'i' of ID_APP_EXIT is also that of ID_APP_ABOUT"; do
  grep -q "^$expected" <<<"$out" || { echo "FAIL: not named: $expected"$'\n'"$out"; exit 1; }
done
echo "translation check: complete languages pass; a lost placeholder, a missing text, a moved control and a doubled access key fail by language and id"
