#!/usr/bin/env bash
# The signed packages' check: makes a throwaway certificate authority with a
# code-signing and a time-stamping certificate, serves RFC 3161 time stamps on
# 127.0.0.1 (timestamp-server.py), builds the setup and both MSI packages signed
# and time-stamped with them (the target signed_packages, through the same rules
# as a signed release), and verifies against that authority every file they
# ship: the packages, the program files in them, every program file packed in
# the setup as 7z unpacks it (NSIS's plug-ins and the uninstaller with its own),
# and the uninstaller as the setup writes it (silently, in the caller's Wine
# prefix, then removed again).
#   signed-check.sh <win32 build tree> <folder of the signed packages>
set -uo pipefail
tree=$1 out=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
for tool in openssl osslsigncode msiextract 7z python3 softhsm2-util; do
  command -v $tool >/dev/null || { echo "FAIL: $tool not found (scripts/lib/deps.sh installs it)"; exit 1; }
done
[ -n "${WINEPREFIX:-}" ] || { echo "FAIL: needs the WINEPREFIX of the x86 run (scripts/test)"; exit 1; }
export WINEDEBUG=-all WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"

rm -rf "$out" && mkdir -p "$out/certs" || exit 1
certs=$out/certs
ext() { printf '%s\n' "$@" >"$certs/ext"; }
{
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Brelkin Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$certs/ca.key" -out "$certs/ca.pem" &&
    openssl req -newkey rsa:2048 -nodes -subj "/CN=Brelkin Test Signing" \
      -keyout "$certs/sign.key" -out "$certs/sign.csr" &&
    ext basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning &&
    openssl x509 -req -days 2 -in "$certs/sign.csr" -CA "$certs/ca.pem" -CAkey "$certs/ca.key" \
      -CAcreateserial -extfile "$certs/ext" -out "$certs/sign.pem" &&
    openssl req -newkey rsa:2048 -nodes -subj "/CN=Brelkin Test Time Stamps" \
      -keyout "$certs/tsa.key" -out "$certs/tsa.csr" &&
    ext basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=critical,timeStamping &&
    openssl x509 -req -days 2 -in "$certs/tsa.csr" -CA "$certs/ca.pem" -CAkey "$certs/ca.key" \
      -CAcreateserial -extfile "$certs/ext" -out "$certs/tsa.pem" &&
    printf 'throwaway password' >"$certs/password" &&
    openssl pkcs12 -export -inkey "$certs/sign.key" -in "$certs/sign.pem" -certfile "$certs/ca.pem" \
      -passout "file:$certs/password" -out "$certs/sign.p12"
} >"$certs/openssl.log" 2>&1 || { cat "$certs/openssl.log"; echo "FAIL: openssl could not make the certificates"; exit 1; }
printf '[tsa]\ndefault_tsa = test\n[test]\nserial = %s\nsigner_cert = %s\nsigner_key = %s\ncerts = %s\n%s\n' \
  "$certs/tsa.serial" "$certs/tsa.pem" "$certs/tsa.key" "$certs/ca.pem" \
  'signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
ess_cert_id_alg = sha256' >"$certs/tsa.cnf"
echo 01 >"$certs/tsa.serial"
python3 "$(dirname "$0")/timestamp-server.py" "$certs/tsa.cnf" "$certs/tsa.port" &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 1 50); do [ -s "$certs/tsa.port" ] && break; sleep 0.1; done
[ -s "$certs/tsa.port" ] || { echo "FAIL: the time-stamping service did not start"; exit 1; }
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1
# As a release build's cache variables would name them (Sign.cmake reads this file).
printf 'set(BRELKIN_SIGN_PKCS12 [==[%s]==])\nset(BRELKIN_SIGN_PASSWORD_FILE [==[%s]==])\nset(BRELKIN_SIGN_TIMESTAMP_URL %s)\n' \
  "$certs/sign.p12" "$certs/password" "http://127.0.0.1:$(cat "$certs/tsa.port")/" >"$out/sign-settings.cmake"

echo "=== building the signed packages"
cmake --build "$tree" --target signed_packages || { echo "FAIL: the signed packages did not build"; exit 1; }

verify() { # file label
  local log
  if log=$(osslsigncode verify -CAfile "$certs/ca.pem" -TSA-CAfile "$certs/ca.pem" -in "$1" 2>&1) &&
    grep -q 'Subject: /CN=Brelkin Test Signing' <<<"$log" && grep -q 'digest algorithm *: SHA256' <<<"$log" &&
    grep -q 'Timestamp Server Signature verification: ok' <<<"$log"; then
    pass "$2: signed with SHA-256 by the test certificate and time-stamped, verified against the test authority"
  else
    fail "$2 does not verify: $(tail -n 3 <<<"$log" | tr '\n' ' ')"
  fi
}
echo "=== the packages and the program files in them"
verify "$out/BrelkinSetup.exe" BrelkinSetup.exe
for arch in x64 x86; do
  msi=$out/BrelkinSetup-$arch.msi
  verify "$msi" "BrelkinSetup-$arch.msi"
  mkdir -p "$out/extract-$arch"
  (cd "$out/extract-$arch" && msiextract "$msi" >/dev/null) || fail "msiextract $msi"
  mapfile -t pes < <(find "$out/extract-$arch" -iname '*.exe' | sort)
  want=3; [ "$arch" = x86 ] && want=2
  [ "${#pes[@]}" = "$want" ] || fail "BrelkinSetup-$arch.msi carries ${#pes[@]} programs, not $want"
  for pe in "${pes[@]}"; do verify "$pe" "BrelkinSetup-$arch.msi: ${pe#"$out/extract-$arch/"}"; done
done

echo "=== every program file packed in the setup, NSIS's plug-ins and the uninstaller with its own"
unpack() { # <NSIS setup> <folder>: unpacked; every setup inside (the uninstaller) likewise
  local f
  7z x -tnsis -aou -o"$2" "$1" >"$2.log" 2>&1 || { fail "7z cannot unpack $1: $(tail -n 2 "$2.log")"; return; }
  while IFS= read -r -d '' f; do
    if 7z l -tnsis "$f" >/dev/null 2>&1; then unpack "$f" "$f.unpacked"; fi
  done < <(find "$2" -type f -iname '*.exe' -print0)
}
unpack "$out/BrelkinSetup.exe" "$out/inside"
mapfile -t pes < <(find "$out/inside" -type f -exec sh -c '[ "$(head -c 2 "$1")" = MZ ]' _ {} \; -print | sort)
names=$(for pe in "${pes[@]}"; do basename "$pe"; done | sort | tr '\n' ' ')
for want in System.dll nsDialogs.dll Uninstall.exe Brelkin.exe; do
  grep -qw "$want" <<<"$names" || fail "no $want in the setup (found: $names)"
done
[ -n "$(find "$out/inside" -path '*Uninstall.exe.unpacked/*' -name System.dll)" ] ||
  fail "the uninstaller in the setup carries no System.dll (found: $names)"
for pe in "${pes[@]}"; do verify "$pe" "in BrelkinSetup.exe: ${pe#"$out/inside/"}"; done

echo "=== the same key on a PKCS#11 token (SoftHSM) instead of in a file"
module=$(find /usr/lib -name libsofthsm2.so -print -quit 2>/dev/null)
export SOFTHSM2_CONF=$out/hsm/softhsm2.conf
mkdir -p "$out/hsm/tokens" && printf 'directories.tokendir = %s\n' "$out/hsm/tokens" >"$SOFTHSM2_CONF"
printf 1234 >"$certs/pin"
cat "$certs/sign.pem" "$certs/ca.pem" >"$certs/chain.pem"
if [ -n "$module" ] &&
  softhsm2-util --init-token --free --label brelkin --pin 1234 --so-pin 5678 >/dev/null &&
  openssl pkcs8 -topk8 -nocrypt -in "$certs/sign.key" -out "$certs/sign.pk8" &&
  softhsm2-util --import "$certs/sign.pk8" --token brelkin --label release --id 01 --pin 1234 >/dev/null; then
  # As a release script would name them, through the environment.
  BRELKIN_SIGN_PKCS11_MODULE=$module BRELKIN_SIGN_PKCS11_KEY='pkcs11:token=brelkin;object=release;type=private' \
    BRELKIN_SIGN_CERT=$certs/chain.pem BRELKIN_SIGN_PASSWORD_FILE=$certs/pin \
    BRELKIN_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$certs/tsa.port")/" \
    cmake -DIN="$tree/bin/BrelkinCameraHost32.exe" -DOUT="$out/token-signed.exe" \
    -P "$(dirname "$0")/../../installer/Sign.cmake" || fail "Sign.cmake could not sign with the token"
  verify "$out/token-signed.exe" "BrelkinCameraHost32.exe signed on the token"
else
  fail "no SoftHSM token to sign with (softhsm2 and libengine-pkcs11-openssl, scripts/lib/deps.sh)"
fi

echo "=== what the setup installs, the uninstaller included"
dir_w='C:\BrelkinSignedCheck'
dir=$(winepath -u "$dir_w" 2>/dev/null | tr -d '\r')
timeout 120 wine "$out/BrelkinSetup.exe" /S /NOAUTOSTART "/D=$dir_w"; rc=$?
if [ "$rc" = 0 ] && [ -f "$dir/Uninstall.exe" ]; then
  for f in Uninstall.exe Brelkin.exe BrelkinCameraHost64.exe BrelkinCameraHost32.exe; do
    verify "$dir/$f" "installed $f"
  done
else
  fail "the signed setup did not install (exit code $rc)"
fi
if [ -f "$dir/Uninstall.exe" ]; then
  timeout 120 wine "$dir/Uninstall.exe" /S >/dev/null 2>&1 || fail "the signed uninstaller failed"
  for _ in $(seq 1 60); do [ -e "$dir" ] || break; sleep 0.5; done
  [ ! -e "$dir" ] || fail "the signed uninstaller left $dir_w behind"
fi

if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all signed package checks passed"
