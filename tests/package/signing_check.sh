#!/usr/bin/env bash
# The package as a signed release: packed with a throwaway certificate, every
# program, the library and the self-extractor module carry a signature that
# osslsigncode verifies against it, and SHA256SUMS holds the signed files; the
# signed module, behind which archivecli packs, still restores its archive under
# Wine, and the component still finds that archive behind the certificate table.
# Usage: signing_check.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
cd "$(dirname "$0")/../.."
. scripts/env.sh
fail() { echo "FAILED: $*"; exit 1; }
win() { local p=${1//\//\\}; echo "Z:$p"; }

rm -rf "$work"; mkdir -p "$work/certificate"
# A throwaway code-signing certificate, its own root.
cert=$work/certificate
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Norvane Test Signing" \
  -addext extendedKeyUsage=codeSigning -keyout "$cert/key.pem" -out "$cert/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -out "$cert/cert.pfx" -passout pass:test
NORVANE_SIGN_PFX=$cert/cert.pfx NORVANE_SIGN_PASSWORD=test \
  scripts/package.sh --output "$work/dist" >"$work/package.log" || fail "packing signed"
grep -q '^package: signed with ' "$work/package.log" || fail "no word of the signature: $(cat "$work/package.log")"
7zz x -bso0 -o"$work/unpacked" "$work"/dist/*.zip || fail "unpacking"
for file in norvexec.exe doziruzidive.exe themeview.exe dozsettings.exe archivecli.exe 7za.dll 7z.sfx; do
  osslsigncode verify -CAfile "$cert/cert.pem" -in "$work/unpacked/$file" >"$work/verify.log" 2>&1 \
    || { cat "$work/verify.log"; fail "$file: its signature is not verified"; }
done
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not hold the signed files"

mkdir -p "$work/src/dokumenty"
printf 'zażółć gęślą jaźń' >"$work/src/zażółć.txt"
head -c 100000 /dev/urandom >"$work/src/dokumenty/szum.bin"
wine "$bin/archivecli.exe" add "$(win "$work/setup.exe")" --root "$(win "$work/src")" \
  --sfx "$(win "$work/unpacked/7z.sfx")" --quiet "$(win "$work/src")\\*.*" >"$work/cli.log" 2>&1 \
  || { cat "$work/cli.log"; fail "archivecli could not pack behind the signed module"; }
timeout 60 wine "$work/setup.exe" -y "-o$(win "$work/out")" || fail "the self-extractor ended with $?"
diff -r "$work/src" "$work/out" || fail "the self-extractor restored another tree"
wine "$bin/archivecli.exe" list "$(win "$work/setup.exe")" >"$work/cli.log" 2>&1 \
  || { cat "$work/cli.log"; fail "the component could not read it"; }
rm -rf "$work"
