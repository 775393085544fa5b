#!/usr/bin/env bash
# Signing with a throw-away code-signing certificate: a build given the key
# signs the program, the uninstaller inside the installer and the installer;
# each signature verifies against that certificate; the program with its
# signature removed is the unsigned build's, byte for byte; the signed
# program syncs over HTTP and TLS under Wine.
#   test_signing.sh SOURCE_DIR UNSIGNED_BUILD_DIR WINEPREFIX OPENSSL_DIR
set -uo pipefail
src="$1"; unsigned="$2"; prefix="$3"; openssl="$4"
wine_run() { "$src/scripts/wine-run.sh" --prefix "$prefix" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0; failed=0
check() {  # check "what" command...
  local what="$1"; shift
  if "$@" >"$work/out" 2>&1; then passed=$((passed + 1)); echo "ok:   $what"
  else failed=$((failed + 1)); echo "FAIL: $what"; sed 's/^/      /' "$work/out"; fi
}
verifies() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1"; }

export VELLOQ_SIGN_PASSWORD="throw-away $RANDOM"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj "/CN=Velloq test signer" \
  -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
  -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1 &&
  openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/key.pfx" \
    -passout env:VELLOQ_SIGN_PASSWORD || exit 1
signed="$work/build"
VELLOQ_SIGN_PFX="$work/key.pfx" cmake -S "$src" -B "$signed" -G Ninja -DVELLOQ_OPENSSL_ROOT="$openssl" \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build "$signed" --target installer >/dev/null || exit 1
setup=$(ls "$signed"/DynDNSVelloqClient-*-setup.exe)

check "the program's signature verifies" verifies "$signed/DynDNSVelloqClient.exe"
check "the installer's signature verifies" verifies "$setup"
check "SHA256SUMS names the signed files" sh -c "cd '$signed' && sha256sum -c SHA256SUMS"
osslsigncode remove-signature -in "$signed/DynDNSVelloqClient.exe" -out "$work/stripped.exe" >/dev/null
check "without its signature the program is the unsigned one" \
  cmp "$work/stripped.exe" "$unsigned/DynDNSVelloqClient.exe"

installdir="$prefix/drive_c/Program Files/DynDNS Velloq Client"
wine_run "$setup" /S >/dev/null 2>&1
check "the installed uninstaller's signature verifies" verifies "$installdir/Uninstall.exe"
wine_run 'C:\Program Files\DynDNS Velloq Client\Uninstall.exe' /S >/dev/null 2>&1
for _ in $(seq 1 60); do [ -e "$installdir/Uninstall.exe" ] || break; sleep 0.5; done

# The end-to-end driver starts the program beside itself.
mkdir "$work/run" && cp "$unsigned/e2e_driver.exe" "$signed/DynDNSVelloqClient.exe" "$work/run/"
syncs() {  # a filter that matched nothing would pass: count the test
  "$src/tools/with_standins.sh" --trust-root "$src/tests/e2e/standins.list" -- "$src/scripts/wine-run.sh" --prefix "$prefix" \
    "$work/run/e2e_driver.exe" --gtest_filter=E2E.FirstStartStoresDefaultsThenSyncsOverHttpAndTls |
    tee /dev/stderr | grep 'PASSED  ] 1 test' >/dev/null
}
check "the signed program syncs over HTTP and TLS" syncs

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
