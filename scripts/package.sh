#!/usr/bin/env bash
# make package: dist/norvane-VERSION-win64.zip, what a Windows user downloads. The
# five programs, what they load, how to start them, the licences of what they are
# made of, and the files' checksums, side by side at the top of the archive (a
# user's "Extract All" makes the folder). Prints the zip's path and its SHA-256.
#
# The same commit gives the same zip, byte for byte: the files go in in one order,
# with the time of SOURCE_DATE_EPOCH (by default the commit's) and fixed
# permissions. With NORVANE_SIGN_PFX (a PKCS#12 file) and NORVANE_SIGN_PASSWORD
# the programs, the library and the self-extractor module are signed with
# osslsigncode, timestamped too when NORVANE_SIGN_TIMESTAMP names an RFC 3161
# server; a signed zip differs with each signing time.
#
# With --output DIR the zip is written there from the build as it is, without
# setting up or building: the package test packs the build it tests.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
fail() { echo "package failed: $*" >&2; exit 1; }

out=dist
if [ "${1:-}" = --output ]; then
  [ -n "${2:-}" ] || fail "--output needs a folder"
  out=$2
else
  scripts/setup.sh
  scripts/build.sh
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
[ -n "$version" ] || fail "no project version in build/CMakeCache.txt"
name=norvane-$version-win64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out"

epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || fail "no SOURCE_DATE_EPOCH and no commit to take the files' time from"

binaries=(norvexec.exe doziruzidive.exe themeview.exe dozsettings.exe archivecli.exe 7za.dll 7z.sfx)
for file in "${binaries[@]}"; do
  cp "build/bin/$file" "$stage/" || fail "build/bin/$file is missing"
done

if [ -n "${NORVANE_SIGN_PFX:-}${NORVANE_SIGN_PASSWORD:-}" ]; then
  [ -n "${NORVANE_SIGN_PFX:-}" ] && [ -n "${NORVANE_SIGN_PASSWORD+set}" ] \
    || fail "signing needs both NORVANE_SIGN_PFX and NORVANE_SIGN_PASSWORD"
  [ -f "$NORVANE_SIGN_PFX" ] || fail "no certificate file $NORVANE_SIGN_PFX"
  timestamp=()
  [ -z "${NORVANE_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$NORVANE_SIGN_TIMESTAMP")
  for file in "${binaries[@]}"; do
    # The password through a pipe, not on a command line others can read.
    osslsigncode sign -pkcs12 "$NORVANE_SIGN_PFX" -readpass <(printf '%s' "$NORVANE_SIGN_PASSWORD") \
      -h sha256 -n "Norvane $version" "${timestamp[@]}" -in "$stage/$file" -out "$stage/$file.signed" \
      >/dev/null || fail "osslsigncode could not sign $file"
    mv "$stage/$file.signed" "$stage/$file"
  done
  echo "package: signed with $NORVANE_SIGN_PFX${NORVANE_SIGN_TIMESTAMP:+, timestamped by $NORVANE_SIGN_TIMESTAMP}"
else
  echo "package: unsigned (NORVANE_SIGN_PFX and NORVANE_SIGN_PASSWORD name no certificate)"
fi

# Texts for Windows: CRLF line ends; the UTF-8 mark tells Notepad the encoding of
# the Polish letters.
crlf() { sed 's/\r*$/\r/'; }
{ printf '\xEF\xBB\xBF'; sed "s/@VERSION@/$version/g" docs/README-windows.txt | crlf; } > "$stage/README-windows.txt"

# The licences as their parts bring them. The library and the self-extractor
# module are built from Debian's source package of 7-Zip, whose licence texts
# setup.sh keeps; libjpeg-turbo is linked into doziruzidive.exe; the MinGW-w64
# runtime and its threads library into every program (GCC's own runtime libraries
# are under the GCC Runtime Library Exception, which asks for no notice).
licence() { # title file
  [ -f "$2" ] || fail "licence file $2 is missing (run scripts/setup.sh)"
  printf '\n%s\n%s\n\n' "$1" "$(printf '%*s' ${#1} '' | tr ' ' '=')"
  cat "$2"
}
sevenzip=$DEPS/7zip
[ -f "$sevenzip/source.txt" ] || fail "$sevenzip/source.txt is missing (run scripts/setup.sh)"
{ read -r debian_version; read -r upstream_version; } <"$sevenzip/source.txt"
libjpeg_doc=$DEPS/libjpeg/share/doc/libjpeg-turbo
{
  echo "Third-party notices for Norvane $version"
  echo
  echo "The programs of this package contain or come with the following parts of others."
  echo
  echo "7za.dll and 7z.sfx are 7-Zip $upstream_version, built from Debian's source package"
  echo "7zip $debian_version (apt-get source 7zip; without its RAR code):"
  echo "7za.dll is its 7z library (CPP/7zip/Bundles/Format7z), 7z.sfx its self-extractor"
  echo "module (CPP/7zip/Bundles/SFXWin) with this change, which replaces an existing"
  echo "file only by an item extracted sound:"
  echo
  cat scripts/7zip/*.patch
  licence "7-Zip: DOC/License.txt" "$sevenzip/License.txt"
  licence "7-Zip: DOC/copying.txt (the GNU LGPL named above)" "$sevenzip/copying.txt"
  licence "libjpeg-turbo (in doziruzidive.exe): LICENSE.md" "$libjpeg_doc/LICENSE.md"
  licence "libjpeg-turbo (in doziruzidive.exe): README.ijg" "$libjpeg_doc/README.ijg"
  licence "MinGW-w64 runtime and winpthreads (in every program): Debian's copyright file of mingw-w64" \
    /usr/share/doc/mingw-w64-x86-64-dev/copyright
} | crlf > "$stage/THIRD-PARTY-NOTICES.txt"

files=("${binaries[@]}" README-windows.txt THIRD-PARTY-NOTICES.txt SHA256SUMS)
(cd "$stage" && sha256sum -- "${files[@]:0:${#files[@]}-1}" > SHA256SUMS)
chmod 644 "${files[@]/#/$stage/}"
touch -d "@$epoch" "${files[@]/#/$stage/}"

zip=$(cd "$out" && pwd)/$name.zip
rm -f "$zip"
# In the order named, with DOS times in UTC and no Windows time fields: the same
# files make the same bytes on any machine.
(cd "$stage" && TZ=UTC 7zz a -tzip -mx=9 -mtc=off -mta=off -mcu=on -bso0 -bsp0 "$zip" -- "${files[@]}") \
  || fail "7zz could not write $zip"
echo "$out/$name.zip"
echo "sha256: $(sha256sum "$zip" | cut -d' ' -f1)"
