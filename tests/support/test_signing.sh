#!/usr/bin/env bash
# test_signing.sh DIR [IN OUT]: a throwaway code-signing certificate for the
# tests, made once in DIR (cert.pem, its own root; key.pem; cert.pfx with the
# password "test"); with IN and OUT, the program IN signed with it as OUT.
set -euo pipefail
dir=$1
if [ ! -f "$dir/cert.pfx" ]; then
  mkdir -p "$dir"
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Norvane Test Signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$dir/key.pem" -out "$dir/cert.pem" 2>/dev/null
  openssl pkcs12 -export -inkey "$dir/key.pem" -in "$dir/cert.pem" -out "$dir/cert.pfx.new" -passout pass:test
  mv "$dir/cert.pfx.new" "$dir/cert.pfx"
fi
if [ $# -eq 3 ]; then
  mkdir -p "$(dirname "$3")"
  rm -f "$3"
  osslsigncode sign -pkcs12 "$dir/cert.pfx" -pass test -h sha256 -in "$2" -out "$3" >/dev/null
fi
